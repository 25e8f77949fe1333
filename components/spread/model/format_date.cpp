// Date and time cells: reading typed dates and times, their limits, and the text they show.
#include <cstdio>
#include <vector>

#include "components/spread/model/cell_format.h"
#include "platform/ascii.h"

namespace spread {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Runs of digits and runs of letters; everything else separates them.
std::vector<std::string_view> splitParts(std::string_view text) {
  std::vector<std::string_view> parts;
  for (size_t i = 0; i < text.size();) {
    if (!isDigit(text[i]) && !isLetter(text[i])) {
      ++i;
      continue;
    }
    const bool digits = isDigit(text[i]);
    size_t end = i;
    while (end < text.size() && (digits ? isDigit(text[end]) : isLetter(text[end]))) ++end;
    parts.push_back(text.substr(i, end - i));
    i = end;
  }
  return parts;
}

bool allDigits(std::string_view s) {
  if (s.empty() || s.size() > 4) return false;
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

std::int32_t number(std::string_view s) {
  std::int32_t n = 0;
  for (char c : s) n = n * 10 + (c - '0');
  return n;
}

std::int32_t fullYear(std::string_view digits, std::int32_t twoDigitYearMax) {
  const std::int32_t y = number(digits);
  if (digits.size() > 2) return y;
  std::int32_t full = twoDigitYearMax - ((twoDigitYearMax % 100 - y + 100) % 100);
  return full;
}

std::string twoDigits(std::int32_t n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

}  // namespace

Parsed CheckDate(const Style& s, DateValue v) {
  if (v < s.dateMin) return {false, {}, "the date is before TypeDateMin " + MonthDayYearText(s.dateMin)};
  if (v > s.dateMax) return {false, {}, "the date is after TypeDateMax " + MonthDayYearText(s.dateMax)};
  return {true, v, {}};
}

Parsed ParseDateInput(const Style& s, std::string_view text, const FormatContext& context) {
  const Parsed refused{false, {}, "\"" + std::string(text) + "\" is not a date"};
  if (auto canonical = ParseYearMonthDay(text)) return CheckDate(s, *canonical);
  const std::vector<std::string_view> parts = splitParts(text);
  if (parts.size() != 3) return refused;
  std::string_view day, month, year;
  switch (DateFormat(s.dateFormat)) {
    case DateFormat::DayMonthNameYear:
    case DateFormat::DayMonthYear: day = parts[0], month = parts[1], year = parts[2]; break;
    case DateFormat::YearMonthDay: year = parts[0], month = parts[1], day = parts[2]; break;
    default: month = parts[0], day = parts[1], year = parts[2]; break;
  }
  if (!allDigits(day) || !allDigits(year)) return refused;
  const std::int32_t m = allDigits(month) ? number(month) : MonthFromName(month);
  const CivilDate d{fullYear(year, context.twoDigitYearMax), m, number(day)};
  if (!IsValidDate(d)) return refused;
  return CheckDate(s, ToDateValue(d));
}

std::string DateText(const Style& s, DateValue v) {
  const CivilDate d = ToCivil(v);
  const std::string sep(1, char(s.dateSeparator));
  char year[16];
  if (s.dateCentury) std::snprintf(year, sizeof year, "%04d", d.year);
  else std::snprintf(year, sizeof year, "%02d", d.year % 100);
  switch (DateFormat(s.dateFormat)) {
    case DateFormat::DayMonthNameYear: return twoDigits(d.day) + sep + std::string(MonthName(d.month)) + sep + year;
    case DateFormat::DayMonthYear: return twoDigits(d.day) + sep + twoDigits(d.month) + sep + year;
    case DateFormat::YearMonthDay: return year + sep + twoDigits(d.month) + sep + twoDigits(d.day);
    default: return twoDigits(d.month) + sep + twoDigits(d.day) + sep + year;
  }
}

Parsed CheckTime(const Style& s, TimeValue v) {
  if (v.seconds < 0 || v.seconds > 86399) return {false, {}, "not a time of day"};
  if (v < s.timeMin) return {false, {}, "the time is before TypeTimeMin " + TimeDigitsText(s.timeMin)};
  if (v > s.timeMax) return {false, {}, "the time is after TypeTimeMax " + TimeDigitsText(s.timeMax)};
  return {true, v, {}};
}

Parsed ParseTimeInput(const Style& s, std::string_view text) {
  const Parsed refused{false, {}, "\"" + std::string(text) + "\" is not a time"};
  if (auto canonical = ParseTimeDigits(text)) return CheckTime(s, *canonical);
  std::vector<std::string_view> parts = splitParts(text);
  int half = 0;  // 1 before noon, 2 after
  if (!parts.empty() && isLetter(parts.back()[0])) {
    if (platform::ascii::equalsNoCase(parts.back(), "AM") || platform::ascii::equalsNoCase(parts.back(), "A")) half = 1;
    else if (platform::ascii::equalsNoCase(parts.back(), "PM") || platform::ascii::equalsNoCase(parts.back(), "P")) half = 2;
    else return refused;
    parts.pop_back();
  }
  if (parts.size() < 2 || parts.size() > 3) return refused;
  for (auto p : parts)
    if (!allDigits(p) || p.size() > 2) return refused;
  std::int32_t h = number(parts[0]);
  const std::int32_t m = number(parts[1]), sec = parts.size() == 3 ? number(parts[2]) : 0;
  if (half != 0) {
    if (h < 1 || h > 12) return refused;
    h = h % 12 + (half == 2 ? 12 : 0);
  }
  if (h > 23 || m > 59 || sec > 59) return refused;
  return CheckTime(s, TimeValue{h * 3600 + m * 60 + sec});
}

std::string TimeText(const Style& s, TimeValue v) {
  const std::int32_t h = v.seconds / 3600, m = v.seconds / 60 % 60, sec = v.seconds % 60;
  const std::string sep(1, char(s.timeSeparator));
  const std::int32_t shownHour = s.time24Hour ? h : (h % 12 == 0 ? 12 : h % 12);
  std::string text = twoDigits(shownHour) + sep + twoDigits(m);
  if (s.timeSeconds) text += sep + twoDigits(sec);
  if (!s.time24Hour) text += h < 12 ? " AM" : " PM";
  return text;
}

}  // namespace spread
