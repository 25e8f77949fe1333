// Sizes from text: wrapping, and the row heights and column widths the MaxText members give.
#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

using platform::S_OK;

TEST(TextWrap, BreaksBetweenWordsAndInsideLongWords) {
  const FixedMetrics m;
  const TextFont font{"MS Sans Serif", 10, false, false};
  const double perChar = m.textWidth(font, "x");
  EXPECT_EQ(WrapText(m, font, "one two three", perChar * 7), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(WrapText(m, font, "abcdefghij", perChar * 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  EXPECT_EQ(WrapText(m, font, "a\nb c", perChar * 10), (std::vector<std::string>{"a", "b c"}));
  EXPECT_EQ(WrapText(m, font, "", perChar * 10), (std::vector<std::string>{""}));
  EXPECT_EQ(WrapText(m, font, "abc", 0.5).size(), 3u) << "at least one character on each line";
}

class MaxText : public ::testing::Test {
 protected:
  void put(std::string_view name, platform::VARIANT v) { ASSERT_EQ(Put(book, name, {v}), S_OK) << name; }
  double lineHeightPoints() const {
    const FixedMetrics m;
    return m.lineHeight({"MS Sans Serif", 8, false, false}) / m.pixelsPerPoint();
  }
  AddressedBook book;
};

TEST_F(MaxText, ARowFitsItsWrappedText) {
  const std::string text = "This is a static text celltype. The property TypeTextWordWrap is used for wrapping.";
  ASSERT_EQ(Put(book, "ColWidth", {I4(2), R8(25)}), S_OK);
  At(book, 7, 2);
  put("CellType", I2(5));
  put("Text", Str(text));
  const double oneLine = GetNumber(book, "MaxTextRowHeight", {I4(7)});
  put("TypeTextWordWrap", I2(1));
  const double wrapped = GetNumber(book, "MaxTextRowHeight", {I4(7)});
  const FixedMetrics m;
  const TextFont font{"MS Sans Serif", 8, false, false};
  const size_t lines = WrapText(m, font, text, 25 * m.textWidth(font, "0") - 2 * kCellMarginX).size();
  ASSERT_GE(lines, 3u);
  EXPECT_DOUBLE_EQ(wrapped, (double(lines) * m.lineHeight(font) + 2 * kCellMarginY) / m.pixelsPerPoint());
  EXPECT_DOUBLE_EQ(oneLine, (m.lineHeight(font) + 2 * kCellMarginY) / m.pixelsPerPoint());
  // Every wrapped line fits the column.
  for (const std::string& line : WrapText(m, font, text, 25 * m.textWidth(font, "0") - 2 * kCellMarginX))
    EXPECT_LE(m.textWidth(font, line), 25 * m.textWidth(font, "0") - 2 * kCellMarginX) << line;
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextCellHeight"), wrapped);
}

TEST_F(MaxText, TheTallestCellOfTheRowCountsAndHiddenColumnsDoNot) {
  At(book, 3, 1);
  put("Text", Str("small"));
  At(book, 3, 2);
  put("FontSize", I4(24));
  put("Text", Str("big"));
  const double big = GetNumber(book, "MaxTextRowHeight", {I4(3)});
  EXPECT_GT(big, 2 * lineHeightPoints());
  put("ColHidden", I2(1));
  EXPECT_LT(GetNumber(book, "MaxTextRowHeight", {I4(3)}), big);
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextRowHeight", {I4(4)}), GetNumber(book, "RowHeight", {I4(4)})) << "an empty row: the default";
}

TEST_F(MaxText, AColumnFitsItsWidestText) {
  At(book, 1, 3);
  put("Text", Str("abc"));
  At(book, 2, 3);
  put("Text", Str("abcdefghij"));
  const FixedMetrics m;
  const TextFont font{"MS Sans Serif", 8, false, false};
  const double expected = (m.textWidth(font, "abcdefghij") + 2 * kCellMarginX) / m.textWidth(font, "0");
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextColWidth", {I4(3)}), expected);
  put("Col", I4(3));
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextColWidth"), expected) << "without an index: Col";
  EXPECT_EQ(GetNumber(book, "MaxTextColWidth", {I4(4)}), 0);
  At(book, 5, 5);
  put("CellType", I2(7));
  put("TypeButtonText", Str("Press me"));
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextCellWidth"), (m.textWidth(font, "Press me") + 2 * kCellMarginX) / m.textWidth(font, "0"))
      << "a button measures its caption";
  EXPECT_EQ(Invoke(book, "MaxTextRowHeight", platform::DISPATCH_PROPERTYGET, {I4(-1)}, nullptr), platform::E_INVALIDARG);
}

// Metrics of the view's own: the model measures with whatever it is given.
TEST_F(MaxText, TheViewsMetricsAreUsed) {
  struct Wide final : TextMetrics {
    double lineHeight(const TextFont&) const override { return 20; }
    double textWidth(const TextFont&, std::string_view t) const override { return 10.0 * double(t.size()); }
    double pixelsPerPoint() const override { return 2; }
  };
  book.setMetrics(std::make_shared<Wide>());
  At(book, 1, 1);
  put("Text", Str("hello"));
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextRowHeight", {I4(1)}), (20 + 2 * kCellMarginY) / 2);
  EXPECT_DOUBLE_EQ(GetNumber(book, "MaxTextColWidth", {I4(1)}), (50 + 2 * kCellMarginX) / 10);
  EXPECT_DOUBLE_EQ(GetNumber(book, "RowHeight", {I4(9)}), (20 + 2 * kCellMarginY) / 2) << "the default row fits one line";
}

}  // namespace
}  // namespace spread::test
