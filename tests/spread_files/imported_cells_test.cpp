// The packed cells of an imported sheet: what goes in comes out in order, in blocks of whole
// cells that can be handed on one by one and taken back, and packed bytes that are not whole
// cells are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "components/spread/formats/imported_cells.h"

namespace spread::files {
namespace {

// A cell with its text kept, to compare with what the packed cells give back.
struct Expected {
  ImportedCell cell;
  std::string text;
};

std::vector<Expected> RandomCells(std::mt19937& random, std::size_t count) {
  std::vector<Expected> cells;
  for (std::size_t i = 0; i < count; ++i) {
    Expected e;
    e.cell.col = std::int32_t(random() % 16384) + 1;
    e.cell.row = std::int32_t(i) + 1;
    e.cell.kind = ImportedKind(random() % 7);
    if (e.cell.kind == ImportedKind::Text || e.cell.kind == ImportedKind::Error) {
      // Mostly short, now and then longer than a block.
      const std::size_t length = random() % 50 == 0 ? ImportedCells::kBlockBytes + random() % 1000 : random() % 40;
      e.text.assign(length, char('a' + random() % 26));
    } else {
      e.cell.number = double(std::int64_t(random())) / 7.0;
    }
    cells.push_back(e);
  }
  return cells;
}

void ExpectSame(const ImportedCells& got, const std::vector<Expected>& want) {
  ASSERT_EQ(got.size(), want.size());
  std::size_t i = 0;
  for (const ImportedCell c : got) {
    ASSERT_LT(i, want.size());
    const ImportedCell& w = want[i].cell;
    EXPECT_EQ(c.col, w.col) << i;
    EXPECT_EQ(c.row, w.row) << i;
    ASSERT_EQ(c.kind, w.kind) << i;
    if (w.kind == ImportedKind::Text || w.kind == ImportedKind::Error) EXPECT_EQ(c.text, want[i].text) << i;
    else EXPECT_EQ(c.number, w.number) << i;
    ++i;
  }
  EXPECT_EQ(i, want.size());
}

ImportedCells Pack(std::vector<Expected>& cells) {
  ImportedCells packed;
  for (Expected& e : cells) {
    e.cell.text = e.text;
    packed.push_back(e.cell);
  }
  return packed;
}

class ImportedCellsRandom : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ImportedCellsRandom, GiveBackWhatWentInInWholeBlocks) {
  std::mt19937 random{unsigned(GetParam())};
  std::vector<Expected> cells = RandomCells(random, GetParam());
  const ImportedCells packed = Pack(cells);
  ExpectSame(packed, cells);
  std::size_t counted = 0;
  for (const ImportedCells::Block& b : packed.blocks()) {
    // A block goes past its size only when it holds one cell.
    EXPECT_TRUE(b.bytes().size() <= ImportedCells::kBlockBytes || b.count == 1);
    counted += b.count;
  }
  EXPECT_EQ(counted, cells.size());
}

TEST_P(ImportedCellsRandom, BlocksHandedOnAsTheyFillAreTakenBackWhole) {
  std::mt19937 random{unsigned(GetParam()) + 1};
  std::vector<Expected> cells = RandomCells(random, GetParam());
  ImportedCells sending, received;
  std::size_t passed = 0;
  for (Expected& e : cells) {
    e.cell.text = e.text;
    sending.push_back(e.cell);
    ASSERT_TRUE(sending.passFullBlocks([&](const ImportedCells::Block& b) {
      ++passed;
      return received.adopt(std::string(b.bytes()), b.count);
    }));
    EXPECT_LE(sending.blocks().size(), 1u);
  }
  for (const ImportedCells::Block& b : sending.blocks()) ASSERT_TRUE(received.adopt(std::string(b.bytes()), b.count));
  ExpectSame(received, cells);
  if (GetParam() > 20'000) {
    EXPECT_GT(passed, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImportedCellsRandom, ::testing::Values(0, 1, 7, 1000, 60'000));

TEST(ImportedCells, PassingStopsWhenRefused) {
  ImportedCells cells;
  for (std::int32_t r = 1; r <= 100'000; ++r) cells.push_back(ImportedCell{1, r, ImportedKind::Number, double(r), {}});
  ASSERT_GT(cells.blocks().size(), 2u);
  int calls = 0;
  EXPECT_FALSE(cells.passFullBlocks([&](const ImportedCells::Block&) { return ++calls < 1; }));
  EXPECT_EQ(calls, 1);
  // What is left is the last block, still in order.
  ASSERT_EQ(cells.blocks().size(), 1u);
  std::int32_t row = 100'000 - std::int32_t(cells.size());
  for (const ImportedCell c : cells) EXPECT_EQ(c.row, ++row);
  EXPECT_EQ(row, 100'000);
}

TEST(ImportedCells, BlocksLeftWhereTheyLieAreKeptAsLongAsTheCells) {
  ImportedCells made;
  for (std::int32_t r = 1; r <= 3; ++r) made.push_back(ImportedCell{r, r, ImportedKind::Text, 0, "cell " + std::to_string(r)});
  auto bytes = std::make_shared<std::string>(made.blocks()[0].bytes());
  std::weak_ptr<std::string> watch = bytes;
  ImportedCells kept;
  ASSERT_TRUE(kept.adopt(bytes, *bytes, 3));
  EXPECT_FALSE(kept.adopt(nullptr, *bytes, 3));                            // nothing to keep them
  EXPECT_FALSE(kept.adopt(bytes, std::string_view(*bytes).substr(1), 3));  // not whole cells
  EXPECT_EQ((*kept.begin()).text.data(), bytes->data() + 13);              // read where they lie
  bytes.reset();
  // A cell added after goes into a block of its own.
  kept.push_back(ImportedCell{9, 9, ImportedKind::Number, 4.5, {}});
  ASSERT_EQ(kept.blocks().size(), 2u);
  std::int32_t row = 0;
  for (const ImportedCell c : kept) EXPECT_EQ(c.row, row < 3 ? ++row : (row = 9));
  EXPECT_EQ(row, 9);
  EXPECT_FALSE(watch.expired());
  std::size_t drained = 0;
  kept.drain([&](const ImportedCell&) { ++drained; });
  EXPECT_EQ(drained, 4u);
  EXPECT_TRUE(watch.expired());  // let go once drained
}

struct BadBytes {
  const char* name;
  std::size_t cut;  // bytes taken off the end
  std::ptrdiff_t countChange;
  char kind;                 // set as the first cell's kind unless 0
  std::uint32_t textLength;  // set as the first cell's text length unless 0
};

class ImportedCellsRefuse : public ::testing::TestWithParam<BadBytes> {};

TEST_P(ImportedCellsRefuse, PackedBytesThatAreNotWholeCells) {
  ImportedCells made;
  made.push_back(ImportedCell{2, 3, ImportedKind::Text, 0, "some text"});
  made.push_back(ImportedCell{4, 5, ImportedKind::Number, 1.5, {}});
  ASSERT_EQ(made.blocks().size(), 1u);
  std::string bytes(made.blocks()[0].bytes());
  const BadBytes& bad = GetParam();
  bytes.resize(bytes.size() - bad.cut);
  if (bad.kind) bytes[0] = bad.kind;
  if (bad.textLength) std::memcpy(bytes.data() + 9, &bad.textLength, sizeof bad.textLength);  // after kind, column, row
  ImportedCells target;
  target.push_back(ImportedCell{1, 1, ImportedKind::Number, 9, {}});
  EXPECT_FALSE(target.adopt(bytes, std::size_t(std::ptrdiff_t(made.size()) + bad.countChange)));
  // Nothing was added.
  ASSERT_EQ(target.size(), 1u);
  EXPECT_EQ((*target.begin()).number, 9);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportedCellsRefuse,
                         ::testing::Values(BadBytes{"CutInANumber", 3, 0, 0, 0}, BadBytes{"CutAfterACell", 17, 0, 0, 0},
                                           BadBytes{"FewerCellsThanBytes", 0, -1, 0, 0}, BadBytes{"MoreCellsThanBytes", 0, 1, 0, 0},
                                           BadBytes{"UnknownKind", 0, 0, 9, 0}, BadBytes{"NegativeKind", 0, 0, char(-1), 0},
                                           BadBytes{"TextLongerThanTheBytes", 0, 0, 0, 1000},
                                           BadBytes{"TextLengthPastFourGiB", 0, 0, 0, 0xFFFFFFFFu}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace spread::files
