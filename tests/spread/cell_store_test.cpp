// The sheet's cell storage against a plain reference (a map keyed by row and column): tables of
// random operations (writes in order and out of order, removals, rows and columns taken out,
// filtered erasures) keep both holding the same cells, and every walk of a block visits them in
// row-major order.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "components/spread/model/cell_store.h"

namespace spread {
namespace {

using Reference = std::map<std::pair<std::int32_t, std::int32_t>, double>;  // (row, col) -> value

double ValueOf(const Cell& c) { return std::get<double>(c.value); }

// Every cell of the store, walked as an export walks it.
Reference Contents(CellStore& store) {
  Reference seen;
  std::pair<std::int32_t, std::int32_t> previous{-1, -1};
  store.forEach(0, 1 << 30, 0, 1 << 30, [&](std::int32_t col, std::int32_t row, Cell& cell) {
    EXPECT_LT(previous, std::make_pair(row, col)) << "out of row-major order";
    previous = {row, col};
    seen[{row, col}] = ValueOf(cell);
  });
  return seen;
}

struct Mix {
  const char* name;
  std::int32_t rows, cols;  // the area the operations touch
  bool inOrder;             // writes mostly after the last cell, as an import makes them
};

void PrintTo(const Mix& m, std::ostream* os) { *os << m.name; }

class CellStoreTest : public testing::TestWithParam<Mix> {};

TEST_P(CellStoreTest, RandomOperationsKeepTheSameCellsAsTheReference) {
  const Mix mix = GetParam();
  std::mt19937 random(7);
  const auto pick = [&](std::int32_t n) { return std::uniform_int_distribution<std::int32_t>(1, n)(random); };
  CellStore store;
  Reference ref;
  std::int32_t nextRow = 1, nextCol = 1;
  for (int step = 0; step < 6000; ++step) {
    const int op = pick(100);
    if (op <= 60) {  // a write
      std::int32_t col = pick(mix.cols), row = pick(mix.rows);
      if (mix.inOrder && op <= 50) {
        row = nextRow, col = nextCol;
        if (++nextCol > mix.cols) nextCol = 1, ++nextRow;
      }
      const double v = step;
      store.at(col, row).value = v;
      ref[{row, col}] = v;
    } else if (op <= 75) {  // a removal, of a cell that may not exist
      const std::int32_t col = pick(mix.cols), row = pick(mix.rows);
      store.erase(col, row);
      ref.erase({row, col});
    } else if (op <= 85) {  // a lookup
      const std::int32_t col = pick(mix.cols), row = pick(mix.rows);
      const Cell* c = store.find(col, row);
      const auto it = ref.find({row, col});
      ASSERT_EQ(c != nullptr, it != ref.end()) << row << "," << col;
      if (c) {
        ASSERT_EQ(ValueOf(*c), it->second);
      }
    } else if (op <= 90) {  // rows taken out
      const std::int32_t first = pick(mix.rows), count = pick(3);
      store.removeRows(first, count);
      Reference moved;
      for (const auto& [k, v] : ref) {
        if (k.first < first) moved[k] = v;
        else if (k.first >= first + count) moved[{k.first - count, k.second}] = v;
      }
      ref = std::move(moved);
    } else if (op <= 95) {  // columns taken out
      const std::int32_t first = pick(mix.cols), count = pick(2);
      store.removeCols(first, count);
      Reference moved;
      for (const auto& [k, v] : ref) {
        if (k.second < first) moved[k] = v;
        else if (k.second >= first + count) moved[{k.first, k.second - count}] = v;
      }
      ref = std::move(moved);
    } else {  // a filtered erasure: the cells of one column
      const std::int32_t col = pick(mix.cols);
      store.eraseIf([&](std::int32_t c, std::int32_t, const Cell&) { return c == col; });
      std::erase_if(ref, [&](const auto& e) { return e.first.second == col; });
    }
    ASSERT_EQ(store.size(), ref.size()) << "after step " << step;
  }
  EXPECT_EQ(Contents(store), ref);
}

INSTANTIATE_TEST_SUITE_P(Mixes, CellStoreTest,
                         testing::Values(Mix{"Scattered", 40, 12, false}, Mix{"InOrder", 2000, 3, true}, Mix{"OneRow", 1, 60, false},
                                         Mix{"OneColumn", 300, 1, false}, Mix{"Dense", 6, 6, false}, Mix{"ManyRowsOutOfOrder", 3000, 2, false}),
                         [](const testing::TestParamInfo<Mix>& i) { return std::string(i.param.name); });

TEST(CellStoreTest, BlockWalkVisitsOnlyTheBlockInRowMajorOrder) {
  CellStore store;
  for (std::int32_t row = 5; row >= 1; --row)  // written backwards, each row right to left
    for (std::int32_t col = 5; col >= 1; --col) store.at(col, row).value = double(row * 10 + col);
  std::vector<double> seen;
  store.forEach(2, 3, 2, 4, [&](std::int32_t, std::int32_t, Cell& c) { seen.push_back(ValueOf(c)); });
  EXPECT_EQ(seen, (std::vector<double>{22, 23, 24, 32, 33, 34}));
}

TEST(CellStoreTest, LastRowsComeFirstAndEmptiedRowsGo) {
  CellStore store;
  store.at(1, 3).value = 1.0;
  store.at(2, 9).value = 2.0;
  store.at(4, 9).value = 3.0;
  store.erase(2, 9);
  store.erase(4, 9);
  std::vector<std::int32_t> rows;
  store.findFromLastRow([&](const CellStore::Row& r) {
    rows.push_back(r.row);
    return false;
  });
  EXPECT_EQ(rows, std::vector<std::int32_t>{3}) << "a row without cells is no row";
  EXPECT_EQ(store.size(), 1u);
}

TEST(CellStoreTest, WritingAnExistingCellFindsItAndMakesNoOther) {
  CellStore store;
  store.at(3, 1).texts.setNote("kept");
  store.at(1, 1);
  store.at(3, 1).value = 2.0;
  EXPECT_EQ(store.size(), 2u);
  EXPECT_EQ(store.find(3, 1)->texts.note(), "kept");
}

// A cell's note and formula share one pointer: each is kept apart from the other, an empty text
// is none, the pair goes once both are empty (so the cell can be dropped), and a copy is its own.
TEST(CellTextsTest, NoteAndFormulaAreKeptApartAndGoWhenBothAreEmpty) {
  struct Step {
    CellTexts::Which which;
    const char* text;
    const char* note;
    const char* formula;
    bool empty;
  };
  const Step steps[] = {
      {CellTexts::kNote, "", "", "", true},
      {CellTexts::kFormula, "=A1", "", "=A1", false},
      {CellTexts::kNote, "seen", "seen", "=A1", false},
      {CellTexts::kFormula, "", "seen", "", false},
      {CellTexts::kNote, "", "", "", true},
      {CellTexts::kNote, "again", "again", "", false},
  };
  CellTexts texts;
  for (const Step& step : steps) {
    texts.set(step.which, step.text);
    EXPECT_EQ(texts.note(), step.note) << step.text;
    EXPECT_EQ(texts.formula(), step.formula) << step.text;
    EXPECT_EQ(texts.empty(), step.empty) << step.text;
  }
  CellTexts copy = texts;
  copy.setFormula("=B2");
  EXPECT_EQ(texts.formula(), "");
  EXPECT_EQ(copy.note(), "again");
  Cell cell;
  cell.texts = copy;
  EXPECT_FALSE(cell.empty());
  cell.texts.clear();
  EXPECT_TRUE(cell.empty());
}

}  // namespace
}  // namespace spread
