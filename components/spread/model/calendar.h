// Day counts and calendar dates (proleptic Gregorian), and the texts dates and times are
// exchanged in: "MMDDYYYY" for the date limits, "YYYYMMDD" for a date cell's value, "HHMMSS"
// for times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "components/spread/model/values.h"

namespace spread {

struct CivilDate {
  std::int32_t year = 0, month = 0, day = 0;
};

// Years 1 to 9999 are dates; anything else is not.
inline constexpr std::int32_t kFirstYear = 1, kLastYear = 9999;

bool IsValidDate(CivilDate d);
DateValue ToDateValue(CivilDate d);  // d must be valid
CivilDate ToCivil(DateValue v);

// "MMDDYYYY" (the form of TypeDateMin and TypeDateMax); nullopt unless 8 digits of a valid date.
std::optional<DateValue> ParseMonthDayYear(std::string_view text);
std::string MonthDayYearText(DateValue v);
// "YYYYMMDD" (a date cell's Value).
std::optional<DateValue> ParseYearMonthDay(std::string_view text);
std::string YearMonthDayText(DateValue v);
// "HHMMSS" or "HHMM" (a time cell's Value, TypeTimeMin, TypeTimeMax).
std::optional<TimeValue> ParseTimeDigits(std::string_view text);
std::string TimeDigitsText(TimeValue v);

// Three-letter English month names, "JAN" to "DEC"; 0 when the text is none of them (any case).
std::int32_t MonthFromName(std::string_view name);
std::string_view MonthName(std::int32_t month);

}  // namespace spread
