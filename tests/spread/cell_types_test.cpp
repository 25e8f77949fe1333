// Each cell type's rules: what it takes, what it refuses, and the text it shows.
#include <gtest/gtest.h>

#include <functional>

#include "components/spread/model/cell_format.h"

namespace spread {
namespace {

struct TypeCase {
  const char* name;
  std::function<void(Style&)> setUp;
  const char* input;
  bool accepted;
  const char* text;   // shown when accepted
  const char* value;  // the value underneath when accepted
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.name; }

Style styleOf(const TypeCase& c) {
  Style s;
  c.setUp(s);
  return s;
}

void date(Style& s) {
  s.cellType = std::int16_t(CellType::Date);
  s.dateMin = *ParseMonthDayYear("01011900");
  s.dateMax = *ParseMonthDayYear("12312199");
}
void number(Style& s) {
  s.cellType = std::int16_t(CellType::Number);
  s.numberMin = -9999;
  s.numberMax = 9999;
}
void currency(Style& s) {
  s.cellType = std::int16_t(CellType::Currency);
  s.currencyMin = -9999;
  s.currencyMax = 9999;
}
void percent(Style& s) {
  s.cellType = std::int16_t(CellType::Percent);
  s.percentMin = 0.1;
  s.percentMax = 100;
}
void mask(Style& s) {
  s.cellType = std::int16_t(CellType::PicMask);
  s.picMask = "(999) 999-9999";
}
void time12(Style& s) { s.cellType = std::int16_t(CellType::Time); }
void edit(Style& s) {
  s.cellType = std::int16_t(CellType::Edit);
  s.editLen = 5;
}
void combo(Style& s) {
  s.cellType = std::int16_t(CellType::ComboBox);
  s.comboList = "Item1\tItem2\tItem3";
}
void check(Style& s) { s.cellType = std::int16_t(CellType::CheckBox); }

class CellTypeRules : public ::testing::TestWithParam<TypeCase> {};

TEST_P(CellTypeRules, TakesOrRefusesAndShows) {
  const TypeCase& c = GetParam();
  const Style s = styleOf(c);
  const Parsed p = ParseCellInput(s, c.input, FormatContext{});
  ASSERT_EQ(p.ok, c.accepted) << c.input << ": " << p.error;
  if (!p.ok) {
    EXPECT_FALSE(p.error.empty());
    return;
  }
  EXPECT_EQ(CellText(s, p.value), c.text);
  EXPECT_EQ(CellValueText(s, p.value), c.value);
}

const TypeCase kCases[] = {
    {"DateInFormat", date, "12/23/96", true, "12/23/96", "19961223"},
    {"DateCanonical", date, "19961223", true, "12/23/96", "19961223"},
    {"DateTwoDigitYearWindow", date, "1/2/59", true, "01/02/59", "20590102"},
    {"DateYearAfterWindowIsLastCentury", date, "1/2/60", true, "01/02/60", "19600102"},
    {"DateMonthName", date, "Dec/23/1996", true, "12/23/96", "19961223"},
    {"DateBeforeMin", date, "12/31/1899", false, "", ""},
    {"DateAfterMax", date, "01/01/2200", false, "", ""},
    {"DateNoSuchDay", date, "02/30/1996", false, "", ""},
    {"DateNotADate", date, "soon", false, "", ""},
    {"DateCentury", [](Style& s) { date(s), s.dateCentury = true; }, "12/23/96", true, "12/23/1996", "19961223"},
    {"DateDayMonthName", [](Style& s) { date(s), s.dateFormat = 0, s.dateSeparator = '-'; }, "23-12-96", true, "23-DEC-96", "19961223"},
    {"DateYearFirst", [](Style& s) { date(s), s.dateFormat = 3; }, "96/12/23", true, "96/12/23", "19961223"},
    {"NumberRoundsToPlaces", number, "1234.567", true, "1234.57", "1234.57"},
    {"NumberAtMax", number, "9999", true, "9999.00", "9999"},
    {"NumberAboveMax", number, "10000", false, "", ""},
    {"NumberBelowMin", number, "-10000", false, "", ""},
    {"NumberParenthesesNegative", number, "(12)", true, "-12.00", "-12"},
    {"NumberNotANumber", number, "12a", false, "", ""},
    {"NumberInfinityIsNoNumber", number, "inf", false, "", ""},
    {"NumberHexIsNoNumber", number, "0x10", false, "", ""},
    {"NumberSeparatorShown", [](Style& s) { number(s), s.numberShowSep = true; }, "1234", true, "1,234.00", "1234"},
    {"NumberNoLeadingZero", [](Style& s) { number(s), s.numberLeadingZero = 1; }, "0.5", true, ".50", "0.5"},
    {"NumberNegativeInParentheses", [](Style& s) { number(s), s.numberNegStyle = 1; }, "-3", true, "(3.00)", "-3"},
    {"CurrencySymbolAndSeparator", currency, "1000.00", true, "$1,000.00", "1000"},
    {"CurrencyTypedWithSymbol", currency, "$1,234.50", true, "$1,234.50", "1234.5"},
    {"CurrencyNegative", currency, "-5", true, "-$5.00", "-5"},
    {"CurrencyAboveMax", currency, "$10,000", false, "", ""},
    {"PercentInRange", percent, ".25", true, "0.25%", "0.25"},
    {"PercentWithSign", percent, "50%", true, "50.00%", "50"},
    {"PercentAboveMax", percent, "100.01", false, "", ""},
    {"PercentBelowMin", percent, "0.05", false, "", ""},
    {"MaskWithLiterals", mask, "(123) 456-7890", true, "(123) 456-7890", "(123) 456-7890"},
    {"MaskWithoutLiterals", mask, "1234567890", true, "(123) 456-7890", "(123) 456-7890"},
    {"MaskLetterWhereDigitBelongs", mask, "(123) 45A-7890", false, "", ""},
    {"MaskTooShort", mask, "123456789", false, "", ""},
    {"MaskTooLong", mask, "12345678901", false, "", ""},
    {"MaskLiteralMissing", mask, "(123)-456-7890", false, "", ""},
    {"MaskUpperCasePlace", [](Style& s) { s.cellType = 4, s.picMask = "UU-99"; }, "ab-12", true, "AB-12", "AB-12"},
    {"TimeTwelveHour", time12, "01:23 am", true, "01:23 AM", "012300"},
    {"TimeAfternoon", time12, "1:23 PM", true, "01:23 PM", "132300"},
    {"TimeMidnight", time12, "12:00 am", true, "12:00 AM", "000000"},
    {"TimeTwentyFour", [](Style& s) { time12(s), s.time24Hour = true, s.timeSeconds = true; }, "13:05:09", true, "13:05:09", "130509"},
    {"TimeNoSuchHour", time12, "13:00 pm", false, "", ""},
    {"TimeNoSuchMinute", time12, "10:60", false, "", ""},
    {"TimeAfterMax", [](Style& s) { time12(s), s.timeMax = TimeValue{12 * 3600}; }, "13:00", false, "", ""},
    {"EditCutToLength", edit, "Type in me", true, "Type ", "Type "},
    {"EditUpperCase", [](Style& s) { edit(s), s.editCharCase = 2; }, "abc", true, "ABC", "ABC"},
    {"EditNumericSetRefusesLetters", [](Style& s) { edit(s), s.editCharSet = 3; }, "12a", false, "", ""},
    {"ComboItem", combo, "item2", true, "Item2", "Item2"},
    {"ComboNotAnItem", combo, "Item4", false, "", ""},
    {"ComboEditableTakesAnyText", [](Style& s) { combo(s), s.comboEditable = true; }, "Item4", true, "Item4", "Item4"},
    {"CheckChecked", check, "1", true, "1", "1"},
    {"CheckTrue", check, "True", true, "1", "1"},
    {"CheckGrayedOnlyWhenThreeState", check, "2", false, "", ""},
    {"CheckGrayedThreeState", [](Style& s) { check(s), s.checkType = 1; }, "2", true, "2", "2"},
    {"CheckNoState", check, "maybe", false, "", ""},
    {"StaticTextTakesAnything", [](Style& s) { s.cellType = 5; }, "anything at all", true, "anything at all", "anything at all"},
};

INSTANTIATE_TEST_SUITE_P(Types, CellTypeRules, ::testing::ValuesIn(kCases), [](const auto& p) { return std::string(p.param.name); });

TEST(CellTypeRules, EmptyInputEmptiesEveryType) {
  for (std::int16_t t : {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}) {
    Style s;
    s.cellType = t;
    const Parsed p = ParseCellInput(s, "", FormatContext{});
    EXPECT_TRUE(p.ok && IsEmpty(p.value)) << t;
  }
}

// A change of type or limits checks what a cell holds again.
TEST(CellTypeRules, RecheckKeepsConvertsOrClears) {
  Style numberStyle;
  number(numberStyle);
  Style narrower = numberStyle;
  narrower.numberMax = 100;
  EXPECT_FALSE(RecheckCellValue(narrower, numberStyle, 500.0, {}).ok) << "above the new maximum";
  EXPECT_TRUE(RecheckCellValue(narrower, numberStyle, 50.0, {}).ok);
  Style fewerPlaces = numberStyle;
  fewerPlaces.numberDecPlaces = 0;
  EXPECT_EQ(std::get<double>(RecheckCellValue(fewerPlaces, numberStyle, 2.6, {}).value), 3.0);

  Style editStyle;
  const Parsed fromDate = RecheckCellValue(editStyle,
                                           [] {
                                             Style s;
                                             date(s);
                                             return s;
                                           }(),
                                           *ParseYearMonthDay("19961223"), {});
  ASSERT_TRUE(fromDate.ok);
  EXPECT_EQ(std::get<std::string>(fromDate.value), "12/23/96") << "the text the date cell showed";
  const Parsed toNumber = RecheckCellValue(numberStyle, editStyle, std::string("42"), {});
  ASSERT_TRUE(toNumber.ok);
  EXPECT_EQ(std::get<double>(toNumber.value), 42.0);
  EXPECT_FALSE(RecheckCellValue(numberStyle, editStyle, std::string("forty-two"), {}).ok);
}

TEST(Calendar, DayNumbersRoundTripAndMatchTheAutomationDate) {
  EXPECT_EQ(ToDateValue({1899, 12, 30}).day, 0);
  EXPECT_EQ(ToDateValue({1900, 1, 1}).day, 2);
  EXPECT_EQ(ToDateValue({2000, 3, 1}).day, 36586);
  for (std::int32_t day : {-657434, -1, 0, 59, 60, 61, 36585, 2958465}) {
    const CivilDate c = ToCivil(DateValue{day});
    ASSERT_TRUE(IsValidDate(c)) << day;
    EXPECT_EQ(ToDateValue(c).day, day);
  }
  EXPECT_FALSE(ParseMonthDayYear("02292100").has_value()) << "2100 is no leap year";
  EXPECT_TRUE(ParseMonthDayYear("02292000").has_value());
  EXPECT_FALSE(ParseTimeDigits("246000").has_value());
}

}  // namespace
}  // namespace spread
