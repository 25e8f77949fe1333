// The texts a cell shows, as the exports take them without a string per cell: the same as
// CellText and CellValueText for every type and kind of value, and the sign and symbol
// arrangements of the number types.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/spread/model/cell_format.h"

namespace spread {
namespace {

const std::vector<CellValue>& Values() {
  static const std::vector<CellValue> values = {std::monostate{},
                                                std::string("text, with a comma"),
                                                std::string(),
                                                0.0,
                                                -0.0,
                                                1234.5,
                                                -1234.5,
                                                0.25,
                                                1e20,
                                                -3.25e-7,
                                                DateValue{45351},
                                                TimeValue{49530},
                                                DateValue{0},
                                                TimeValue{0}};
  return values;
}

class CellTextViewByType : public ::testing::TestWithParam<int> {};

TEST_P(CellTextViewByType, SameAsTheTextsMadeWhole) {
  Style s;
  s.cellType = std::int16_t(GetParam());
  std::string scratch = "left over from an earlier cell";
  for (const CellValue& v : Values()) {
    EXPECT_EQ(CellTextView(s, v, scratch), CellText(s, v)) << v.index();
    EXPECT_EQ(CellValueTextView(s, v, scratch), CellValueText(s, v)) << v.index();
  }
}

INSTANTIATE_TEST_SUITE_P(Types, CellTextViewByType, ::testing::Values(0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));

TEST(CellTextView, TextIsGivenWhereItLies) {
  const Style s;
  const CellValue v = std::string("held");
  std::string scratch;
  EXPECT_EQ(CellTextView(s, v, scratch).data(), std::get<std::string>(v).data());
}

struct Arrangement {
  CellType type;
  int posStyle, negStyle;
  bool showSymbol;
  double value;
  const char* text;
};

class NumberArrangement : public ::testing::TestWithParam<Arrangement> {};

TEST_P(NumberArrangement, SignAndSymbolInTheirPlaces) {
  const Arrangement& a = GetParam();
  Style s;
  s.cellType = std::int16_t(a.type);
  s.currencyPosStyle = a.posStyle, s.currencyNegStyle = a.negStyle, s.currencyShowSymbol = a.showSymbol;
  s.numberNegStyle = a.negStyle, s.percentNegStyle = a.negStyle;
  EXPECT_EQ(NumberText(s, a.value), a.text);
  std::string out = "before|";
  AppendNumberText(out, s, a.value);
  EXPECT_EQ(out, std::string("before|") + a.text);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, NumberArrangement,
    ::testing::Values(
        Arrangement{CellType::Currency, 0, 0, true, 1234.5, "$1,234.50"}, Arrangement{CellType::Currency, 1, 0, true, 1234.5, "1,234.50$"},
        Arrangement{CellType::Currency, 2, 0, true, 1234.5, "$ 1,234.50"}, Arrangement{CellType::Currency, 3, 0, true, 1234.5, "1,234.50 $"},
        Arrangement{CellType::Currency, 2, 0, false, 1234.5, "1,234.50"}, Arrangement{CellType::Currency, 3, 0, false, 1234.5, "1,234.50"},
        Arrangement{CellType::Currency, 0, 0, true, -1234.5, "-$1,234.50"}, Arrangement{CellType::Currency, 0, 1, true, -1234.5, "($1,234.50)"},
        Arrangement{CellType::Currency, 0, 2, true, -1234.5, "$-1,234.50"}, Arrangement{CellType::Currency, 0, 3, true, -1234.5, "$1,234.50-"},
        Arrangement{CellType::Currency, 0, 4, true, -1234.5, "-1,234.50$"}, Arrangement{CellType::Currency, 0, 1, false, -1234.5, "(1,234.50)"},
        Arrangement{CellType::Number, 0, 0, true, -1234.5, "-1234.50"}, Arrangement{CellType::Number, 0, 1, true, -1234.5, "(1234.50)"},
        Arrangement{CellType::Number, 0, 2, true, -1234.5, "1234.50-"}, Arrangement{CellType::Number, 0, 2, true, 1234.5, "1234.50"},
        Arrangement{CellType::Percent, 0, 1, true, -25, "(25.00%)"}, Arrangement{CellType::Percent, 0, 0, true, 25, "25.00%"}));

}  // namespace
}  // namespace spread
