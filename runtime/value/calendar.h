// Calendar and clock arithmetic of the runtime. A date is a day number: day 4 is 1 January 1801,
// day 2,994,626 is 31 December 9999, 0 means no date. A time is hundredths of a second since
// midnight plus one: 1 is 00:00:00.00, 8,640,000 is 23:59:59.99, 0 means no time. The Gregorian
// leap rule applies throughout. Every function here is pure or reads only the clock and
// TAMSIL_TODAY, so all are safe on any thread.
#pragma once

#include <cstdint>
#include <string>

namespace tamsil {

constexpr int32_t kFirstDay = 4;          // 1 January 1801
constexpr int32_t kLastDay = 2'994'626;   // 31 December 9999
constexpr int32_t kLastTime = 8'640'000;  // 23:59:59.99
constexpr int kDefaultCenturyWindow = 80;

struct CivilDate {
  int year = 0, month = 0, day = 0;  // all 0 for an invalid day number
};

struct ClockTime {
  int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};

inline bool isValidDay(int32_t day) { return day > 3 && day <= kLastDay; }
inline bool isValidTime(int32_t time) { return time > 0 && time <= kLastTime; }

// The year a two-digit year yy (0..99) stands for: within `window` years before currentYear and
// 99 - window years after it.
int expandTwoDigitYear(int yy, int window, int currentYear);

// The DATE operation: years below 100 pass the century window (against the current year as the
// locale read it once, or against currentYear when given), a month
// of 13 or more rolls into the next years, the day is not checked against the month's length
// (30 February is 1 March, day 0 the last day of the month before). Returns -1 when the month is
// 0 or negative, the year lies outside 1801..9999, or the result is not a valid day number.
int32_t dayNumber(int month, int day, int year, int window = kDefaultCenturyWindow);
int32_t dayNumber(int month, int day, int year, int window, int currentYear);

CivilDate splitDay(int32_t day);
inline int dayOf(int32_t d) { return splitDay(d).day; }
inline int monthOf(int32_t d) { return splitDay(d).month; }
inline int yearOf(int32_t d) { return splitDay(d).year; }

// Time numbers. timeNumber does not check its fields (the caller's arithmetic may overflow a
// field on purpose); splitTime gives all zero for an invalid time number.
int32_t timeNumber(int hours, int minutes, int seconds, int hundredths);
ClockTime splitTime(int32_t time);

// Packed forms for fixed binary fields: year << 16 | month << 8 | day, and hours << 24 |
// minutes << 16 | seconds << 8 | hundredths. An invalid day or time packs to 0. Unpacking a date
// clamps years of 10000 and more to 31 December 9999 and gives 0 for anything that is not a real
// date; unpacking a time gives 0 for all zero fields and -1 for a field out of range.
uint32_t packDate(int32_t day);
int32_t unpackDate(uint32_t packed);
uint32_t packTime(int32_t time);
int32_t unpackTime(uint32_t packed);

// Today's day number from the local clock, or from TAMSIL_TODAY=YYYY-MM-DD when that is set to a
// valid date (scripted runs and tests need a fixed "current year"); read on every call, like
// currentYear(). Two-digit years use the year the locale read once (LocaleData::currentYear).
int32_t today();
int currentYear();
// The local clock as a time number.
int32_t clockTime();

// "n DAYS" under 61 days, "n MOS" up to 24 months, else "n YRS"; a birth date later than the base
// moves back 100 years, and one still later (or invalid) gives 255 asterisks.
std::string ageText(int32_t birth, int32_t base);
std::string ageText(int32_t birth);  // against today()

}  // namespace tamsil
