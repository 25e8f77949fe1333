#include "components/spread/model/calendar.h"

#include <array>
#include <cstdio>

#include "platform/ascii.h"

namespace spread {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool isLeap(std::int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::int32_t daysInMonth(std::int32_t y, std::int32_t m) {
  static constexpr std::array<std::int32_t, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[size_t(m - 1)];
}

// Days from 1 January 1970 (the civil-days algorithm on 400-year eras).
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr std::int64_t kEpochShift = 25569;  // 1 January 1970 is day 25569 of the DATE count

bool allDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::int32_t number(std::string_view s) {
  std::int32_t n = 0;
  for (char c : s) n = n * 10 + (c - '0');
  return n;
}

}  // namespace

bool IsValidDate(CivilDate d) {
  return d.year >= kFirstYear && d.year <= kLastYear && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= daysInMonth(d.year, d.month);
}

DateValue ToDateValue(CivilDate d) { return {std::int32_t(daysFromCivil(d.year, d.month, d.day) + kEpochShift)}; }

CivilDate ToCivil(DateValue v) {
  std::int64_t z = std::int64_t(v.day) - kEpochShift + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return {std::int32_t(yoe + era * 400 + (m <= 2)), std::int32_t(m), std::int32_t(d)};
}

std::optional<DateValue> ParseMonthDayYear(std::string_view t) {
  if (t.size() != 8 || !allDigits(t)) return std::nullopt;
  const CivilDate d{number(t.substr(4, 4)), number(t.substr(0, 2)), number(t.substr(2, 2))};
  if (!IsValidDate(d)) return std::nullopt;
  return ToDateValue(d);
}

std::string MonthDayYearText(DateValue v) {
  const CivilDate d = ToCivil(v);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d%02d%04d", d.month, d.day, d.year);
  return buffer;
}

std::optional<DateValue> ParseYearMonthDay(std::string_view t) {
  if (t.size() != 8 || !allDigits(t)) return std::nullopt;
  const CivilDate d{number(t.substr(0, 4)), number(t.substr(4, 2)), number(t.substr(6, 2))};
  if (!IsValidDate(d)) return std::nullopt;
  return ToDateValue(d);
}

std::string YearMonthDayText(DateValue v) {
  const CivilDate d = ToCivil(v);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
  return buffer;
}

std::optional<TimeValue> ParseTimeDigits(std::string_view t) {
  if ((t.size() != 6 && t.size() != 4) || !allDigits(t)) return std::nullopt;
  const std::int32_t h = number(t.substr(0, 2)), m = number(t.substr(2, 2)), s = t.size() == 6 ? number(t.substr(4, 2)) : 0;
  if (h > 23 || m > 59 || s > 59) return std::nullopt;
  return TimeValue{h * 3600 + m * 60 + s};
}

std::string TimeDigitsText(TimeValue v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", v.seconds / 3600, v.seconds / 60 % 60, v.seconds % 60);
  return buffer;
}

std::int32_t MonthFromName(std::string_view name) {
  for (size_t i = 0; i < kMonths.size(); ++i)
    if (platform::ascii::equalsNoCase(name, kMonths[i])) return std::int32_t(i + 1);
  return 0;
}

std::string_view MonthName(std::int32_t month) { return month >= 1 && month <= 12 ? kMonths[size_t(month - 1)] : std::string_view{}; }

}  // namespace spread
