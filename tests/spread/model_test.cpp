// The sheet model through its members: whole rows and columns, what applies where, sheets,
// size changes, spans, hidden lines, clearing, deleting, selection and Reset.
#include <climits>
#include <set>

#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

using platform::DISP_E_BADPARAMCOUNT;
using platform::DISP_E_MEMBERNOTFOUND;
using platform::E_INVALIDARG;
using platform::S_OK;

class SheetModel : public ::testing::Test {
 protected:
  void put(std::string_view name, platform::VARIANT v) { ASSERT_EQ(Put(book, name, {v}), S_OK) << name; }
  double numberAt(std::int32_t row, std::int32_t col, std::string_view name) {
    At(book, row, col);
    return GetNumber(book, name);
  }
  std::string textAt(std::int32_t row, std::int32_t col) {
    At(book, row, col);
    return GetText(book, "Text");
  }
  AddressedBook book;
};

// Cell, then row, then column, then the sheet: the latest write to a level wins for the cells
// it covers, and what it does not name stays.
TEST_F(SheetModel, WholeRowsColumnsAndTheSheetLayer) {
  At(book, -1, 2);
  put("CellType", I2(13));
  At(book, 3, -1);
  put("FontBold", I2(1));
  At(book, 3, 2);
  put("FontItalic", I2(1));
  At(book, -1, -1);
  put("FontSize", I4(12));

  EXPECT_EQ(numberAt(3, 2, "CellType"), 13) << "a row style must not hide the column's type";
  EXPECT_EQ(numberAt(3, 1, "CellType"), 1);
  EXPECT_EQ(numberAt(3, 2, "FontBold"), -1);
  EXPECT_EQ(numberAt(3, 5, "FontBold"), -1);
  EXPECT_EQ(numberAt(4, 2, "FontBold"), 0);
  EXPECT_EQ(numberAt(3, 2, "FontItalic"), -1);
  EXPECT_EQ(numberAt(3, 3, "FontItalic"), 0);
  for (auto [row, col] : {std::pair{1, 1}, {3, 2}, {3, 7}, {9, 2}}) EXPECT_EQ(numberAt(row, col, "FontSize"), 12) << row << "," << col;

  // A later column write reaches the cells with styles of their own, too.
  At(book, -1, 2);
  put("TypeNumberDecPlaces", I2(0));
  EXPECT_EQ(numberAt(3, 2, "TypeNumberDecPlaces"), 0);
  EXPECT_EQ(numberAt(3, 2, "FontItalic"), -1);
  EXPECT_EQ(numberAt(3, 1, "TypeNumberDecPlaces"), 2);
}

TEST_F(SheetModel, AWholeColumnTakesTextCellByCellThroughItsType) {
  put("MaxRows", I4(4));
  At(book, -1, 1);
  put("CellType", I2(13));
  put("Text", Str("7"));
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(textAt(r, 1), "7.00") << r;
  EXPECT_EQ(textAt(1, 2), "");
  At(book, -1, 1);
  std::string error;
  EXPECT_EQ(Put(book, "Text", {Str("seven")}, &error), E_INVALIDARG);
  EXPECT_NE(error.find("not a number"), std::string::npos) << error;
  EXPECT_EQ(textAt(2, 1), "7.00") << "a refused write leaves every cell as it was";
}

TEST_F(SheetModel, ChangingATypeConvertsOrClearsWhatCellsHold) {
  At(book, 1, 1);
  put("Text", Str("42"));
  At(book, 2, 1);
  put("Text", Str("forty-two"));
  At(book, -1, 1);
  put("CellType", I2(13));
  EXPECT_EQ(textAt(1, 1), "42.00");
  EXPECT_EQ(textAt(2, 1), "") << "no number: cleared, never kept corrupt";
  At(book, 1, 1);
  put("TypeNumberMax", R8(10));
  EXPECT_EQ(textAt(1, 1), "") << "above the new maximum";
}

TEST_F(SheetModel, OutOfRangeAddressesAndValuesAreRefused) {
  put("MaxRows", I4(10));
  put("MaxCols", I4(3));
  std::string error;
  At(book, 11, 1);
  EXPECT_EQ(Put(book, "Text", {Str("x")}, &error), E_INVALIDARG);
  EXPECT_NE(error.find("outside"), std::string::npos) << error;
  EXPECT_EQ(Put(book, "Row", {I4(-2)}), E_INVALIDARG);
  At(book, 1, 1);
  EXPECT_EQ(Put(book, "CellType", {I2(3)}, &error), E_INVALIDARG) << "3 is no cell type";
  EXPECT_EQ(Put(book, "TypeDateFormat", {I2(7)}), E_INVALIDARG);
  EXPECT_EQ(Put(book, "TypeDateMin", {Str("13012000")}), E_INVALIDARG);
  EXPECT_EQ(Put(book, "TypeNumberMin", {R8(1e20)}), E_INVALIDARG) << "a minimum above the maximum";
  EXPECT_EQ(Put(book, "MaxRows", {I4(-1)}), E_INVALIDARG);
  EXPECT_EQ(Put(book, "MaxCols", {I4(kColLimit + 1)}), E_INVALIDARG);
  EXPECT_EQ(Put(book, "RowHeight", {I4(1), R8(-3)}), E_INVALIDARG);
  EXPECT_EQ(Put(book, "ColWidth", {I4(9), R8(3)}), E_INVALIDARG) << "column 9 of 3";
  EXPECT_EQ(Put(book, "ActiveRow", {I4(2)}), DISP_E_MEMBERNOTFOUND) << "read-only";
  EXPECT_EQ(Put(book, "RowHeight", {R8(3)}), DISP_E_BADPARAMCOUNT) << "the index is missing";
  EXPECT_EQ(numberAt(1, 1, "CellType"), 1);
}

TEST_F(SheetModel, ShrinkingTheSheetDropsWhatLiesBeyond) {
  At(book, 20, 5);
  put("Text", Str("far"));
  At(book, 2, 2);
  put("Text", Str("near"));
  ASSERT_EQ(CallMethod(book, "SetActiveCell", {I4(5), I4(20)}), S_OK);
  put("MaxRows", I4(10));
  put("MaxRows", I4(30));
  EXPECT_EQ(textAt(20, 5), "") << "a cell dropped with its row comes back empty";
  EXPECT_EQ(textAt(2, 2), "near");
  EXPECT_LE(GetNumber(book, "ActiveRow"), 10);
}

TEST_F(SheetModel, SpansAreRefusedWhenTheyOverlapOrLeaveTheSheet) {
  put("MaxRows", I4(10));
  put("MaxCols", I4(5));
  struct SpanCase {
    std::int32_t col, row, cols, rows;
    std::int16_t added;
  };
  const SpanCase cases[] = {
      {1, 1, 2, 2, 1},   // added
      {2, 2, 2, 1, 0},   // overlaps the first
      {3, 1, 3, 1, 1},   // beside it
      {5, 9, 2, 1, 0},   // leaves the sheet at the right
      {1, 10, 1, 2, 0},  // leaves it at the bottom
      {4, 4, 1, 1, 0},   // one cell is no span
      {0, 4, 2, 2, 0},   // the header is no cell
  };
  for (const auto& s : cases) {
    platform::Variant r;
    ASSERT_EQ(CallMethod(book, "AddCellSpan", {I4(s.col), I4(s.row), I4(s.cols), I4(s.rows)}, &r), S_OK);
    EXPECT_EQ(r->iVal, s.added) << s.col << "," << s.row;
  }
  EXPECT_EQ(book.sheet().spans().size(), 2u);
  ASSERT_NE(book.sheet().spanAt(2, 2), nullptr);
  EXPECT_EQ(book.sheet().spanAt(2, 2)->col, 1);
  ASSERT_EQ(CallMethod(book, "RemoveCellSpan", {I4(1), I4(1)}), S_OK);
  EXPECT_EQ(book.sheet().spanAt(2, 2), nullptr);
}

TEST_F(SheetModel, HiddenRowsAndColumnsHaveNoSizeAndKeepTheirOwn) {
  ASSERT_EQ(Put(book, "RowHeight", {I4(3), R8(20)}), S_OK);
  At(book, 3, 1);
  put("RowHidden", I2(1));
  EXPECT_EQ(GetNumber(book, "RowHidden"), -1);
  EXPECT_EQ(GetNumber(book, "RowHeight", {I4(3)}), 0);
  put("RowHidden", I2(0));
  EXPECT_EQ(GetNumber(book, "RowHeight", {I4(3)}), 20) << "showing it again brings its height back";
  At(book, 1, 2);
  put("ColHidden", I2(1));
  EXPECT_EQ(GetNumber(book, "ColWidth", {I4(2)}), 0);
  EXPECT_EQ(GetNumber(book, "ColWidth", {I4(3)}), GetNumber(book, "ColWidth", {I4(-1)})) << "others keep the default";
  At(book, -1, -1);
  EXPECT_EQ(Put(book, "RowHidden", {I2(1)}), S_OK);
  At(book, 7, 1);
  EXPECT_EQ(GetNumber(book, "RowHidden"), -1) << "-1 hides every row";
}

TEST_F(SheetModel, DeletingRowsMovesTheRestUpAndTheirHeights) {
  for (int r = 1; r <= 5; ++r) {
    At(book, r, 1);
    put("Text", Str("r" + std::to_string(r)));
  }
  ASSERT_EQ(Put(book, "RowHeight", {I4(4), R8(30)}), S_OK);
  ASSERT_EQ(CallMethod(book, "DeleteRows", {I4(2), I4(2)}), S_OK);
  EXPECT_EQ(textAt(1, 1), "r1");
  EXPECT_EQ(textAt(2, 1), "r4");
  EXPECT_EQ(textAt(3, 1), "r5");
  EXPECT_EQ(textAt(4, 1), "");
  EXPECT_EQ(GetNumber(book, "RowHeight", {I4(2)}), 30);
  ASSERT_EQ(CallMethod(book, "DeleteCols", {I4(1), I4(1)}), S_OK);
  EXPECT_EQ(textAt(1, 1), "");
  EXPECT_EQ(CallMethod(book, "DeleteRows", {I4(0), I4(1)}), E_INVALIDARG);
}

TEST_F(SheetModel, CountsAndStartsAtTheEndsOfTheNumberRange) {
  At(book, 3, 1);
  put("Text", Str("x"));
  platform::Variant r;
  ASSERT_EQ(CallMethod(book, "SearchCol", {I4(1), I4(INT32_MAX), I4(-1), Str("x"), I4(0)}, &r), S_OK);
  EXPECT_EQ(r->lVal, -1);
  ASSERT_EQ(CallMethod(book, "DeleteRows", {I4(2), I4(INT32_MAX)}), S_OK) << "every row from 2 on";
  EXPECT_EQ(textAt(3, 1), "");
  EXPECT_EQ(CallMethod(book, "ShowCell", {I4(INT32_MIN), I4(1), I4(0)}), E_INVALIDARG);
}

TEST_F(SheetModel, ClearRangeEmptiesValuesAndWithoutDataOnlyFormatting) {
  At(book, 1, 1);
  put("FontBold", I2(1));
  put("Text", Str("a"));
  At(book, 1, 2);
  put("FontBold", I2(1));
  put("Text", Str("b"));
  ASSERT_EQ(CallMethod(book, "ClearRange", {I4(1), I4(1), I4(1), I4(1), I2(1)}), S_OK);
  EXPECT_EQ(textAt(1, 1), "");
  EXPECT_EQ(numberAt(1, 1, "FontBold"), -1) << "data only";
  ASSERT_EQ(CallMethod(book, "ClearRange", {I4(2), I4(1), I4(2), I4(1)}), S_OK);
  EXPECT_EQ(textAt(1, 2), "");
  EXPECT_EQ(numberAt(1, 2, "FontBold"), 0);
}

TEST_F(SheetModel, SheetsAreAddressedOneAtATime) {
  put("SheetCount", I2(3));
  put("Sheet", I2(2));
  put("SheetName", Str("Second"));
  At(book, 1, 1);
  put("Text", Str("on two"));
  put("Sheet", I2(1));
  EXPECT_EQ(textAt(1, 1), "");
  EXPECT_EQ(GetText(book, "SheetName"), "Sheet1");
  put("Sheet", I2(2));
  EXPECT_EQ(textAt(1, 1), "on two");
  EXPECT_EQ(Put(book, "Sheet", {I2(4)}), E_INVALIDARG);
  EXPECT_EQ(Put(book, "SheetCount", {I2(0)}), E_INVALIDARG);
  put("SheetCount", I2(1));
  EXPECT_EQ(GetNumber(book, "Sheet"), 1) << "the addressed sheet went with it";
}

TEST_F(SheetModel, BlockModeAddressesTheWholeBlock) {
  put("BlockMode", I2(1));
  put("Row", I4(2));
  put("Col", I4(2));
  put("Row2", I4(3));
  put("Col2", I4(4));
  put("BackColor", UI4(0x0000FF));
  put("BlockMode", I2(0));
  EXPECT_EQ(numberAt(3, 4, "BackColor"), 0x0000FF);
  EXPECT_EQ(numberAt(2, 2, "BackColor"), 0x0000FF);
  EXPECT_EQ(numberAt(1, 2, "BackColor"), 0xFFFFFF);
  EXPECT_EQ(numberAt(3, 5, "BackColor"), 0xFFFFFF);
}

TEST_F(SheetModel, CellsWrittenAlikeShareOneStyle) {
  put("MaxRows", I4(100000));
  put("MaxCols", I4(20));
  At(book, -1, 3);
  put("CellType", I2(13));
  for (int r = 1; r <= 1000; ++r) {
    At(book, r, 3);
    put("Value", R8(r));
  }
  std::set<const Style*> styles;
  book.sheet().forEachCell(Block{kAll, kAll}, [&](std::int32_t, std::int32_t, const Cell& cell) {
    if (cell.style) styles.insert(cell.style.get());
  });
  EXPECT_TRUE(styles.empty()) << "values alone make no style";
  EXPECT_EQ(book.sheet().cellCount(), 1000u) << "only cells that hold something exist";
}

TEST_F(SheetModel, SelectionAndSearch) {
  ASSERT_EQ(CallMethod(book, "SetSelection", {I4(4), I4(5), I4(2), I4(3)}), S_OK);
  EXPECT_EQ(GetNumber(book, "SelBlockCol"), 2);
  EXPECT_EQ(GetNumber(book, "SelBlockRow2"), 5);
  ASSERT_EQ(CallMethod(book, "AddSelection", {I4(1), I4(1), I4(1), I4(1)}), S_OK);
  EXPECT_EQ(GetNumber(book, "SelectionCount"), 1) << "without AllowMultiBlocks a block replaces the selection";
  put("AllowMultiBlocks", I2(1));
  ASSERT_EQ(CallMethod(book, "AddSelection", {I4(2), I4(2), I4(2), I4(2)}), S_OK);
  EXPECT_EQ(GetNumber(book, "SelectionCount"), 2);
  EXPECT_EQ(CallMethod(book, "SetSelection", {I4(1), I4(1), I4(1), I4(600)}), E_INVALIDARG);

  for (auto [row, text] : {std::pair{2, "apple"}, {4, "Apricot"}, {6, "banana"}}) {
    At(book, row, 3);
    put("Text", Str(text));
  }
  const auto search = [&](std::int32_t start, const char* text, std::int32_t flags) {
    platform::Variant r;
    EXPECT_EQ(CallMethod(book, "SearchCol", {I4(3), I4(start), I4(-1), Str(text), I4(flags)}, &r), S_OK);
    return r->lVal;
  };
  EXPECT_EQ(search(0, "APPLE", 0), 2);
  EXPECT_EQ(search(2, "apple", 0), -1) << "the search starts after the start row";
  EXPECT_EQ(search(0, "ap", 1), 2);
  EXPECT_EQ(search(2, "ap", 1), 4);
  EXPECT_EQ(search(0, "Apr", 1 | 2), 4);
  EXPECT_EQ(search(0, "apr", 1 | 2), -1);
}

TEST_F(SheetModel, ColumnLettersBothWays) {
  const std::pair<const char*, std::int32_t> toNumber[] = {{"A", 1}, {"z", 26}, {"AA", 27}, {"AB", 28}, {"", 0}, {"A1", 0}, {"5", 5}};
  for (auto [letters, number] : toNumber) {
    platform::Variant r;
    ASSERT_EQ(CallMethod(book, "ColLetterToNumber", {Str(letters)}, &r), S_OK);
    EXPECT_EQ(r->lVal, number) << letters;
  }
  const std::pair<std::int32_t, const char*> toLetters[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {702, "ZZ"}, {703, "AAA"}, {0, ""}};
  for (auto [number, letters] : toLetters) {
    platform::Variant r;
    ASSERT_EQ(CallMethod(book, "ColNumberToLetter", {I4(number)}, &r), S_OK);
    EXPECT_EQ(TextOf(r), letters) << number;
  }
}

TEST_F(SheetModel, HeadersShowLettersAndNumbersUnlessWritten) {
  EXPECT_EQ(textAt(0, 28), "AB");
  EXPECT_EQ(textAt(12, 0), "12");
  put("StartingRowNumber", I4(0));
  EXPECT_EQ(textAt(12, 0), "11");
  At(book, 0, 2);
  put("Text", Str("Value"));
  EXPECT_EQ(textAt(0, 2), "Value");
  put("ColHeadersAutoText", I4(0));
  EXPECT_EQ(textAt(0, 3), "");
}

TEST_F(SheetModel, ResetBringsBackANewGrid) {
  put("SheetCount", I2(2));
  put("MaxRows", I4(13));
  At(book, -1, 1);
  put("CellType", I2(5));
  At(book, 2, 2);
  put("Text", Str("x"));
  put("Protect", I2(0));
  ASSERT_EQ(Put(book, "RowHeight", {I4(2), R8(40)}), S_OK);
  ASSERT_EQ(CallMethod(book, "Reset", {}), S_OK);
  EXPECT_EQ(GetNumber(book, "SheetCount"), 1);
  EXPECT_EQ(GetNumber(book, "MaxRows"), 500);
  EXPECT_EQ(GetNumber(book, "Protect"), -1);
  EXPECT_EQ(GetNumber(book, "Row"), 1);
  EXPECT_EQ(textAt(2, 2), "");
  EXPECT_EQ(numberAt(2, 1, "CellType"), 1);
  EXPECT_EQ(GetNumber(book, "RowHeight", {I4(2)}), GetNumber(book, "RowHeight", {I4(-1)}));
}

TEST_F(SheetModel, NotesAndFormulasAreKeptPerCell) {
  At(book, 2, 2);
  put("CellNote", Str("remember"));
  put("Formula", Str("A1+1"));
  EXPECT_EQ(GetText(book, "CellNote"), "remember");
  EXPECT_EQ(GetText(book, "Formula"), "A1+1");
  At(book, 2, 3);
  EXPECT_EQ(GetText(book, "CellNote"), "");
}

}  // namespace
}  // namespace spread::test

namespace spread {
namespace {

// Paging a large sheet: sizes of ranges and the row at an offset, against adding row by row.
TEST(SheetPaging, RangesAndOffsetsMatchRowByRow) {
  Sheet s;
  s.setMaxRows(100000);
  s.setMaxCols(20);
  s.rowLineForWrite(1).size = 30;
  s.rowLineForWrite(5).hidden = true;
  s.rowLineForWrite(6).hidden = true;
  s.rowLineForWrite(7).size = 0.5;
  s.rowLineForWrite(5000).size = 100;
  s.rowLineForWrite(99999).hidden = true;
  s.rowLineForWrite(100000).size = 2;
  std::vector<double> top(100002, 0.0);  // top[r]: the offset where row r begins
  for (std::int32_t r = 1; r <= 100000; ++r) top[size_t(r) + 1] = top[size_t(r)] + s.rowHeight(r);
  for (auto [first, last] : {std::pair{1, 1}, {1, 100000}, {4, 8}, {4999, 5001}, {6, 5}, {99990, 100000}, {77, 88}})
    EXPECT_DOUBLE_EQ(s.rowsHeight(first, last), last < first ? 0.0 : top[size_t(last) + 1] - top[size_t(first)]) << first << ".." << last;
  for (std::int32_t r : {1, 2, 4, 7, 8, 4999, 5000, 5001, 77777, 99998, 100000}) {
    EXPECT_EQ(s.rowAt(top[size_t(r)]), r) << r;
    EXPECT_EQ(s.rowAt(top[size_t(r)] + s.rowHeight(r) / 2), r) << r;
  }
  EXPECT_EQ(s.rowAt(top[5]), 7) << "hidden rows 5 and 6 are never the answer";
  EXPECT_EQ(s.rowAt(top[100001]), 100001) << "past the last row";
  EXPECT_EQ(s.rowAt(-3), 1);
  s.colLineForWrite(3).size = 20;
  EXPECT_DOUBLE_EQ(s.colsWidth(1, 20), 19 * s.defaultColWidth + 20);
  EXPECT_EQ(s.colAt(2 * s.defaultColWidth + 19.5), 3);
  EXPECT_EQ(s.colAt(2 * s.defaultColWidth + 20), 4);
}

}  // namespace
}  // namespace spread
