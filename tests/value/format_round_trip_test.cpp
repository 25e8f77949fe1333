// FORMAT then DEFORMAT: whatever a field shows reads back as the value it shows. Numbers over
// pictures built from every part of the grammar (currency, sign, fill, grouping, decimals,
// blank when zero), dates and times under every numbered picture with every fill and separator.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/value/calendar.h"
#include "runtime/value/deformat.h"
#include "runtime/value/format.h"
#include "runtime/value/locale.h"
#include "runtime/value/picture.h"

namespace tamsil {
namespace {

std::vector<std::string> numericPictures() {
  std::vector<std::string> out;
  const char* signs[][2] = {{"", ""}, {"-", ""}, {"", "-"}, {"(", ")"}};
  const char* currencies[][2] = {{"", ""}, {"$", ""}, {"", "~ kr~"}};
  const char* fills[] = {"", "0", "*", "_"};
  const char* groups[] = {"", ".", "`", "_", "v", "V"};
  const char* points[] = {"", ".2", ".3", "`1", "v2"};
  const int sizes[] = {4, 7, 9, 12, 15};
  for (const auto& sign : signs)
    for (const auto& currency : currencies)
      for (const char* fill : fills)
        for (const char* group : groups)
          for (const char* point : points)
            for (int size : sizes)
              for (const char* blank : {"", "B"}) {
                // A grouping letter before a point letter that is the same letter reads as one.
                if (*group && *point && group[0] == point[0]) continue;
                out.push_back(std::string("@N") + currency[0] + sign[0] + fill + std::to_string(size) + group + point + sign[1] + currency[1] +
                              blank);
              }
  for (const char* p : {"@E12.2", "@E14.5", "@E20.1", "@E9.1", "@E16`3", "@E15.4B"}) out.push_back(p);
  for (const char* p : {"@P(###)###-####P", "@P(<##)###-####P", "@P<<<#.##P", "@P##-##P", "@P###,###P"}) out.push_back(p);
  return out;
}

const char* const kNumbers[] = {
    "0",     "1",       "-1",        "7",          "12",         "-123",         "999",       "1000",      "1234.5",
    "-4321", "12345",   "123456",    "-123456.78", "1000000",    "1234567",      "99999.995", "0.5",       "0.005",
    "0.995", "-0.049",  "100000",    "1000000.5",  "12345678.9", "-9999999",     "31.41592",  "250.0001",  "-0.5",
    "10",    "1010101", "909090.09", "5555555.55", "-100000000", "123456789012", "0.0001",    "-1000.000", "8",
};

int decimalsOf(const CompiledPicture& p) { return p.kind == PictureKind::kPattern ? 0 : p.shape.decimals; }
bool hasSign(const CompiledPicture& p) {
  for (const Token& t : p)
    if (t.cls == TokenClass::kSign) return true;
  return false;
}
bool overflowed(std::string_view shown) { return shown.find('#') != std::string_view::npos; }

TEST(FormatRoundTripTest, NumbersReadBackAsTheNumberShown) {
  int checked = 0;
  for (const std::string& text : numericPictures()) {
    const CompiledPicture p = compilePicture(text);
    if (!p.valid()) continue;  // a size too small for its fixed parts
    for (const char* number : kNumbers) {
      const std::string shown = format(number, p).str();
      // Overflow, blank when zero, and pictures with no place for a digit show no number.
      if (overflowed(shown) || shown.find_first_of("0123456789") == std::string::npos) continue;
      const std::string back = deformat(shown, p);
      const long double value = hasSign(p) ? std::strtold(number, nullptr) : std::fabs(std::strtold(number, nullptr));
      const long double read = std::strtold(back.c_str(), nullptr);
      // Reading back and showing again gives the same text (but a value that rounds to a shown
      // zero is not zero, so it shows under a blank-when-zero picture where its reading does not)
      // ...
      if (!p.blankWhenZero || read != 0) {
        ASSERT_EQ(format(back, p).view(), shown) << text << " of " << number << " shows '" << shown << "', read back as " << back;
      }
      // ... and the number read is the value as shown: rounded to the picture's places, with
      // the sign only where the picture has a place for it.
      // The place of the last digit shown: a fixed place, or for scientific pictures the last
      // of its significant digits.
      const int significant = p.shape.integerDigits + p.shape.decimals;
      const long double unit = p.kind != PictureKind::kScientific ? std::pow(10.0L, -decimalsOf(p))
                               : value == 0                       ? 0
                                                                  : std::pow(10.0L, std::floor(std::log10(std::fabs(value))) + 1 - significant);
      ASSERT_LE(std::fabs(read - value), unit / 2 + 1e-9L * std::fabs(value))
          << text << " of " << number << " shows '" << shown << "', read back as " << back;
      ++checked;
    }
  }
  EXPECT_GT(checked, 20000);
}

// Day numbers across the whole calendar: the edges, the turns of months and years, and a stride
// that lands on every day of the month and every year digit.
std::vector<int32_t> days() {
  std::vector<int32_t> out = {kFirstDay, kFirstDay + 1, kLastDay, kLastDay - 1};
  for (int year : {1801, 1899, 1900, 1999, 2000, 2001, 2008, 2010, 2100, 9999})
    for (int month : {1, 2, 10, 11, 12})
      for (int day : {1, 5, 10, 28, 30}) {
        const int32_t d = dayNumber(month, day, year, 0, 2000);
        if (isValidDay(d) && splitDay(d).day == day) out.push_back(d);
      }
  for (int32_t d = kFirstDay; d <= kLastDay; d += 7919) out.push_back(d);
  out.push_back(1988328);
  return out;
}

std::vector<std::string> calendarPictures(char kind, int last) {
  std::vector<std::string> out;
  for (int n = 1; n <= last; ++n)
    for (const char* fill : {"", "0", "_", "*"})
      for (const char* separator : {"", ".", "-", "_", "`"}) out.push_back(std::string("@") + kind + fill + std::to_string(n) + separator);
  return out;
}

// Which fields a date picture shows, so that the day it reads back can be told exactly.
struct DateFields {
  bool day = false, fullYear = false;
};
DateFields fieldsOf(const CompiledPicture& p) {
  DateFields f;
  int years = 0;
  for (const Token& t : p) {
    f.day |= t.cls == TokenClass::kDay;
    years += t.cls == TokenClass::kYear;
  }
  f.fullYear = years == 4;
  return f;
}

TEST(FormatRoundTripTest, DatesReadBackAsTheDayShown) {
  for (const std::string& text : calendarPictures('D', 16)) {
    const CompiledPicture p = compilePicture(text);
    ASSERT_TRUE(p.valid()) << text;
    const DateFields f = fieldsOf(p);
    for (int32_t day : days()) {
      const std::string shown = format(std::to_string(day), p).str();
      const std::string back = deformat(shown, p);
      // Two-digit years pass the century window, and month pictures read the first of the
      // month: another day, but one that shows the same.
      ASSERT_EQ(format(back, p).view(), shown) << text << " of " << day << " shows '" << shown << "', read back as " << back;
      if (f.day && f.fullYear) {
        ASSERT_EQ(back, std::to_string(day)) << text << " shows '" << shown << "'";
      }
    }
  }
}

TEST(FormatRoundTripTest, TimesReadBackAsTheTimeShown) {
  for (const std::string& text : calendarPictures('T', 6)) {
    const CompiledPicture p = compilePicture(text);
    ASSERT_TRUE(p.valid()) << text;
    bool seconds = false;
    for (const Token& t : p) seconds |= t.cls == TokenClass::kSecond;
    for (int32_t time = 1; time <= kLastTime; time += 60 * 100 * 7 + 100 * 13 + 1) {
      const std::string shown = format(std::to_string(time), p).str();
      const std::string back = deformat(shown, p);
      const ClockTime c = splitTime(time);
      ASSERT_EQ(back, std::to_string(timeNumber(c.hours, c.minutes, seconds ? c.seconds : 0, 0)))
          << text << " of " << time << " shows '" << shown << "'";
    }
  }
}

// The exact cases the round trip was first seen to fail on.
TEST(FormatRoundTripTest, OverflowIntoGroupingAndFilledFieldsReadBack) {
  EXPECT_EQ(deformat("123456.00", compilePicture("@N9.2")), "123456.00");
  EXPECT_EQ(deformat(" 1000.000", compilePicture("@N-9.3B")), "1000.000");
  EXPECT_EQ(deformat("*1/*1/1801", compilePicture("@D*2")), "4");
  EXPECT_EQ(deformat("11/*5/7244", compilePicture("@D*2")), "1988328");
  // A grouping character that is a digit never takes one: the value overflows instead.
  EXPECT_EQ(format("1000000", compilePicture("@N7v")).view(), "#######");
  EXPECT_EQ(deformat(format("100000", compilePicture("@N7v")).view(), compilePicture("@N7v")), "100000");
}

}  // namespace
}  // namespace tamsil
