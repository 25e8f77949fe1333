#include "components/spread/model/calendar.h"

#include <array>
#include <cstdio>

#include "platform/ascii.h"
#include "platform/date/date.h"

namespace spread {

namespace date = platform::date;

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

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

bool IsValidDate(CivilDate d) { return d.year >= kFirstYear && d.year <= kLastYear && date::isCalendarDate(d.year, d.month, d.day); }

DateValue ToDateValue(CivilDate d) { return {std::int32_t(date::oleSerialFromDays(date::daysFromCivil(d.year, d.month, d.day)))}; }

CivilDate ToCivil(DateValue v) {
  const date::YearMonthDay c = date::civilFromDays(date::daysFromOleSerial(v.day));
  return {std::int32_t(c.year), c.month, c.day};
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
  return TimeValue{std::int32_t(date::secondsOfDay(h, m, s))};
}

std::string TimeDigitsText(TimeValue v) {
  const date::ClockTime c = date::splitSeconds(v.seconds);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", int(c.hours), c.minutes, c.seconds);
  return buffer;
}

std::int32_t MonthFromName(std::string_view name) {
  for (size_t i = 0; i < kMonths.size(); ++i)
    if (platform::ascii::equalsNoCase(name, kMonths[i])) return std::int32_t(i + 1);
  return 0;
}

std::string_view MonthName(std::int32_t month) { return month >= 1 && month <= 12 ? kMonths[size_t(month - 1)] : std::string_view{}; }

}  // namespace spread
