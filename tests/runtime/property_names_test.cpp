// The property name table: the lookups need it in number order with each number's first name
// first and no name twice (names compare without case); every name resolves to its number in every
// spelling. A few names are checked against their documented numbers.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "runtime/window/property_names.h"

namespace tamsil::window {
namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::toupper((unsigned char)c));
  return out;
}

TEST(PropertyNamesTest, NumbersAscendAndEachNumberHasOneFirstNameFollowedByItsOthers) {
  const auto names = propertyNames();
  ASSERT_FALSE(names.empty());
  EXPECT_FALSE(names.front().alias);
  for (size_t i = 1; i < names.size(); ++i) {
    const PropertyName &before = names[i - 1], &p = names[i];
    if (p.alias) {
      EXPECT_EQ(p.number, before.number) << p.name << " is not next to the first name of its number";
    } else {
      EXPECT_GT(p.number, before.number) << p.name << " after " << before.name;
    }
  }
}

TEST(PropertyNamesTest, NoNameIsListedTwiceInAnyCase) {
  std::set<std::string> seen;
  for (const PropertyName& p : propertyNames()) EXPECT_TRUE(seen.insert(upper(p.name)).second) << p.name;
}

TEST(PropertyNamesTest, EveryNameResolvesToItsNumberInEverySpelling) {
  for (const PropertyName& p : propertyNames()) {
    std::string lower(p.name);
    for (char& c : lower) c = char(std::tolower((unsigned char)c));
    for (const std::string& spelling : {std::string(p.name), lower, upper(p.name), "PROP:" + std::string(p.name), "prop:" + lower})
      EXPECT_EQ(propertyNumber(spelling), p.number) << spelling;
    if (!p.alias) {
      EXPECT_EQ(propertyName(p.number), p.name);
    }
  }
}

// Documented values, written here independently of the list.
TEST(PropertyNamesTest, DocumentedNamesHaveTheirNumbers) {
  const std::pair<const char*, std::uint16_t> documented[] = {
      {"Down", 0x7A01},        {"TempPath", 0x7A20},      {"clientwidth", 0x7A4F},  {"MenuBar", 0x7A72},    {"Text", 0x7C00},
      {"Xpos", 0x7C02},        {"Height", 0x7C05},        {"FontName", 0x7C10},     {"FontStyle", 0x7C13},  {"PageAfterNum", 0x7C77},
      {"PageBefore", 0x7C78},  {"PageBeforeNum", 0x7C79}, {"FillColor", 0x7CFA},    {"AlwaysDrop", 0x7CFF}, {"Status", 0x7D00},
      {"CustomColor", 0x7D0E}, {"TipsFont", 0x10},        {"RTFCurrentFont", 0x10}, {"StatusFont", 0x14},
  };
  for (const auto& [name, number] : documented) EXPECT_EQ(propertyNumber(name), number) << name;
  EXPECT_EQ(prop::Text, 0x7C00);
  EXPECT_EQ(prop::ClientHeight, 0x7A50);
  EXPECT_EQ(prop::StatusFont, 0x14);
  // The documented list has 290 names for 273 numbers; the runtime adds three of its own, the
  // trace settings source (TraceSettingsFile, TraceSettingsLocation, TraceUseLocation).
  EXPECT_EQ(propertyNames().size(), 290u + 3u);
  std::set<std::uint16_t> numbers;
  for (const PropertyName& p : propertyNames()) numbers.insert(p.number);
  EXPECT_EQ(numbers.size(), 273u + 3u);
}

TEST(PropertyNamesTest, SharedNumbersShowTheirFirstName) {
  EXPECT_EQ(propertyNumber("Below"), 0x7C06);
  EXPECT_EQ(propertyNumber("Center"), 0x7C06);
  EXPECT_EQ(propertyName(0x7C06), "Below");
  EXPECT_EQ(propertyName(0x7CFA), "Background");
  EXPECT_EQ(propertyNumber("FillColor"), 0x7CFA);
  EXPECT_EQ(propertyName(0x7C16), "");  // a gap in the numbering
}

TEST(PropertyNamesTest, NumbersOutsideTheListHaveNoName) {
  for (std::uint16_t number : {0x0000, 0x0011, 0x7A00, 0x7A0D, 0x7D0F, 0xFFFF}) EXPECT_EQ(propertyName(std::uint16_t(number)), "") << number;
}

TEST(PropertyNamesTest, OtherTextsAreNoPropertyNames) {
  for (const char* text : {"", "PROP:", "Widt", "Width ", " Width", "PROP:PROP:Width", "PROPWidth", "Xpos2"})
    EXPECT_EQ(propertyNumber(text), std::nullopt) << text;
}

TEST(PropertyNamesTest, IndexesStartAt7D00) {
  EXPECT_FALSE(takesIndex(0x7CFF));
  EXPECT_TRUE(takesIndex(0x7D00));
  EXPECT_TRUE(isRuntimeProperty(0x7000));
  EXPECT_FALSE(isRuntimeProperty(0x6FFF));
}

}  // namespace
}  // namespace tamsil::window
