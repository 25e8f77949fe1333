// An imported sheet written as text from its imported cells gives the very text the grid gives
// after importing it: for cells of every kind and edge (texts to quote, non-ASCII, too long,
// empty; dates out of range; numbers past the number cells; cells outside the sheet; gaps and
// empty trailing rows) and for many random sheets, in CSV and tab layouts and in parts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "components/spread/formats/imported_text.h"
#include "components/spread/members/addressed_book.h"

namespace spread::files {
namespace {

TextLayout Csv() { return TextLayout{"", ",", "\r\n", 0, false}; }

// The texts the cells point at live as long as the sheet.
struct Sheet {
  std::vector<std::string> texts;
  ImportedSheet sheet;
  void add(std::int32_t col, std::int32_t row, ImportedKind kind, double number, std::string text = {}) {
    texts.reserve(1000);  // the views must not move
    texts.push_back(std::move(text));
    sheet.cells.push_back(ImportedCell{col, row, kind, number, texts.back()});
    sheet.rows = std::max(sheet.rows, row), sheet.cols = std::max(sheet.cols, col);
  }
};

// The grid's way: import the sheet into a book and write its data as text.
std::string ThroughTheGrid(const Sheet& s, const TextLayout& layout) {
  ImportedBook book;
  book.sheets.push_back(s.sheet);
  AddressedBook grid;
  ApplyImport(grid, book);
  return TextOf(grid, grid.sheet(), Block{kAll, kAll, kAll, kAll}, layout);
}

// Straight from the cells, in parts of rows.
std::string Straight(const Sheet& s, const TextLayout& layout, std::int32_t step) {
  ImportedSheetText text(s.sheet, layout);
  EXPECT_TRUE(text.taken());
  std::string out;
  for (std::int32_t r = 1; r <= text.rows(); r += step) text.appendRows(out, std::min(r + step - 1, text.rows()));
  return out;
}

void ExpectSame(const Sheet& s) {
  for (const TextLayout& layout : {Csv(), TextLayout{}})
    for (const std::int32_t step : {1, 3, 1000}) ASSERT_EQ(Straight(s, layout, step), ThroughTheGrid(s, layout)) << "step " << step;
}

TEST(ImportedSheetText, EveryKindAndEdge) {
  Sheet s;
  s.add(1, 1, ImportedKind::Text, 0, "plain");
  s.add(2, 1, ImportedKind::Text, 0, "a, comma");
  s.add(3, 1, ImportedKind::Text, 0, "\"quoted\" start");
  s.add(4, 1, ImportedKind::Text, 0, "two\nlines");
  s.add(5, 1, ImportedKind::Text, 0, "Z\xC3\xBCrich \xE2\x82\xAC");
  s.add(6, 1, ImportedKind::Text, 0, std::string(40000, 'x'));
  s.add(7, 1, ImportedKind::Text, 0, "");
  s.add(1, 2, ImportedKind::Number, 3.25);
  s.add(2, 2, ImportedKind::Number, -17);
  s.add(3, 2, ImportedKind::Number, 1234567.125);
  s.add(4, 2, ImportedKind::Number, 1e20);
  s.add(5, 2, ImportedKind::Number, -0.0001234);
  s.add(6, 2, ImportedKind::Number, std::numeric_limits<double>::infinity());
  s.add(7, 2, ImportedKind::Number, std::nan(""));
  s.add(2, 4, ImportedKind::Date, 45351);
  s.add(3, 4, ImportedKind::DateTime, 45351.75);
  s.add(4, 4, ImportedKind::Date, -1e6);  // out of range: dropped
  s.add(5, 4, ImportedKind::Time, 0.5729166);
  s.add(6, 4, ImportedKind::Boolean, 1);
  s.add(7, 4, ImportedKind::Boolean, 0);
  s.add(8, 4, ImportedKind::Error, 0, "#DIV/0!");
  s.add(1, 6, ImportedKind::Text, 0, "");  // a last row without a value is not written
  ExpectSame(s);
}

TEST(ImportedSheetText, CellsOutsideTheSheetAreLeftOut) {
  Sheet s;
  s.add(1, 1, ImportedKind::Number, 1);
  s.add(3, 2, ImportedKind::Number, 2);
  s.add(1, 3, ImportedKind::Number, 3);
  s.sheet.rows = 2, s.sheet.cols = 2;  // a size smaller than the cells
  ExpectSame(s);
}

TEST(ImportedSheetText, EmptySheetsAndSheetsWithoutValues) {
  Sheet none;
  ExpectSame(none);
  Sheet dropped;
  dropped.add(2, 3, ImportedKind::Date, 1e9);
  dropped.add(4, 5, ImportedKind::Text, 0, "");
  ExpectSame(dropped);
}

TEST(ImportedSheetText, CellsOutOfOrderOrTwiceGoThroughTheGrid) {
  Sheet backwards;
  backwards.add(2, 1, ImportedKind::Number, 1);
  backwards.add(1, 1, ImportedKind::Number, 2);
  EXPECT_FALSE(ImportedSheetText(backwards.sheet, Csv()).taken());
  Sheet twice;
  twice.add(1, 1, ImportedKind::Number, 1);
  twice.add(1, 1, ImportedKind::Number, 2);
  EXPECT_FALSE(ImportedSheetText(twice.sheet, Csv()).taken());
  Sheet upward;
  upward.add(1, 2, ImportedKind::Number, 1);
  upward.add(5, 1, ImportedKind::Number, 2);
  EXPECT_FALSE(ImportedSheetText(upward.sheet, Csv()).taken());
}

TEST(ImportedSheetText, LayoutsWithHeadersValuesOrUtf16GoThroughTheGrid) {
  Sheet s;
  s.add(1, 1, ImportedKind::Number, 1);
  EXPECT_FALSE(ImportedSheetText(s.sheet, TextLayout{"", ",", "\r\n", kExportColHeaders, false}).taken());
  EXPECT_FALSE(ImportedSheetText(s.sheet, TextLayout{"", ",", "\r\n", kExportValues, false}).taken());
  EXPECT_FALSE(ImportedSheetText(s.sheet, TextLayout{"", ",", "\r\n", 0, true}).taken());
}

class ImportedSheetTextRandom : public ::testing::TestWithParam<unsigned> {};

TEST_P(ImportedSheetTextRandom, SameAsThroughTheGrid) {
  std::mt19937 random(GetParam());
  const char* const texts[] = {"a", "b,c", "\"d", "e\nf", "", "\xC3\xA9t\xC3\xA9", "tab\there", "row 12"};
  Sheet s;
  for (std::int32_t row = 1; row <= 60; ++row) {
    if (random() % 4 == 0) continue;  // a row without cells
    for (std::int32_t col = 1; col <= 9; ++col) {
      if (random() % 3 == 0) continue;
      const auto kind = ImportedKind(random() % 7);
      const double number = random() % 5 == 0 ? double(std::int32_t(random())) / 1000 : double(random() % 100000) / 4 - 5000;
      s.add(col, row, kind, number, texts[random() % std::size(texts)]);
    }
  }
  ExpectSame(s);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ImportedSheetTextRandom, ::testing::Range(1u, 41u));

}  // namespace
}  // namespace spread::files
