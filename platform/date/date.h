// Calendar and clock arithmetic that every date count in the system is built on: civil dates
// (year, month, day in the proleptic Gregorian calendar, leap rule throughout) against serial
// day numbers, and clock times against seconds since midnight. A serial day here counts from
// 1 January 1970 (day 0), negative before it; the other counts in use (the OLE date serial,
// the runtime's day numbers) are a fixed number of days away and convert through it.
//
// Everything is constexpr arithmetic without state, so it is safe on any thread; the rules of
// each user (which years count, two-digit years, texts and pictures) stay with that user.
#pragma once

#include <cstdint>

namespace platform::date {

struct YearMonthDay {
  std::int64_t year = 0;
  int month = 0, day = 0;
  friend constexpr bool operator==(const YearMonthDay&, const YearMonthDay&) = default;
};

struct ClockTime {
  std::int64_t hours = 0;  // not wrapped at 24
  int minutes = 0, seconds = 0;
};

inline constexpr int kSecondsPerDay = 86'400;

constexpr bool isLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// The length of a month, 0 for a month outside 1..12.
constexpr int daysInMonth(std::int64_t year, int month) {
  constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kLength[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

// Whether the month is 1..12 and the day lies within that month (any year).
constexpr bool isCalendarDate(std::int64_t year, int month, std::int64_t day) { return day >= 1 && day <= daysInMonth(year, month); }

// The serial day of a date. The month must be 1..12; the day is not checked against the month,
// it counts on from the month's first day (day 0 is the last day of the month before).
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, std::int64_t day) {
  // Counted in 400-year eras of 146,097 days from 1 March of year 0, so that the leap day falls
  // at the end of each year of the count.
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;                                        // [0, 399]
  const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;  // first of the month, March = 0
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;                // [0, 146096]
  return era * 146'097 + doe + day - 1 - 719'468;
}

// The date of a serial day.
constexpr YearMonthDay civilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719'468;  // from 1 March of year 0
  const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const std::int64_t doe = z - era * 146'097;                                         // [0, 146096]
  const std::int64_t yoe = (doe - doe / 1'460 + doe / 36'524 - doe / 146'096) / 365;  // [0, 399]
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                   // [0, 365]
  const std::int64_t mp = (5 * doy + 2) / 153;                                        // March = 0
  const int day = int(doy - (153 * mp + 2) / 5 + 1);
  const int month = int(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// The OLE date serial counts days from 30 December 1899 (serial 0); its whole part is a day.
inline constexpr std::int64_t kOleSerialOfDayZero = 25'569;  // the serial of 1 January 1970
constexpr std::int64_t oleSerialFromDays(std::int64_t days) { return days + kOleSerialOfDayZero; }
constexpr std::int64_t daysFromOleSerial(std::int64_t serial) { return serial - kOleSerialOfDayZero; }

// Clock times as seconds since midnight; the fields are not checked (a caller may let one
// overflow on purpose), and a count of a day or more gives 24 hours or more.
constexpr std::int64_t secondsOfDay(std::int64_t hours, std::int64_t minutes, std::int64_t seconds) {
  return hours * 3'600 + minutes * 60 + seconds;
}
constexpr ClockTime splitSeconds(std::int64_t seconds) { return {seconds / 3'600, int(seconds / 60 % 60), int(seconds % 60)}; }

}  // namespace platform::date
