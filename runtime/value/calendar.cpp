#include "runtime/value/calendar.h"

#include <cstdlib>
#include <ctime>
#include <string_view>

#include "runtime/value/locale.h"

namespace tamsil {
namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Leap years from year 1 up to and including y.
constexpr int64_t leapsThrough(int64_t y) { return y / 4 + y / 400 - y / 100; }

// Day number of 1 January of year y (the calendar's origin is 28 December 1800, day 0).
constexpr int64_t firstDayOfYear(int64_t y) { return 365 * y + leapsThrough(y - 1) - leapsThrough(1800) - 657'361; }
static_assert(firstDayOfYear(1801) == kFirstDay);
static_assert(firstDayOfYear(2000) == 72'687);

// Reads exactly `n` decimal digits at s[pos], or -1.
int fixedNumber(std::string_view s, size_t pos, size_t n) {
  int v = 0;
  for (size_t i = pos; i < pos + n; ++i) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

bool localNow(std::tm& out, long& nanoseconds) {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  nanoseconds = ts.tv_nsec;
  return localtime_r(&ts.tv_sec, &out) != nullptr;
}

}  // namespace

bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int daysInMonth(int year, int month) {
  constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kLength[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

int expandTwoDigitYear(int yy, int window, int current) {
  const int d = current % 100 - yy;
  int year = current - d;
  if (d <= window - 100) year -= 100;
  else if (d > window) year += 100;
  return year;
}

int32_t dayNumber(int month, int day, int year, int window, int current) {
  int64_t y = year;
  if (y >= 0 && y < 100) y = expandTwoDigitYear(int(y), window, current);
  if (month <= 0) return -1;
  y += (month - 1) / 12;
  const int m = (month - 1) % 12 + 1;
  if (y < 1801 || y > 9999) return -1;
  const int64_t first = firstDayOfYear(y) + kDaysBeforeMonth[m - 1] + (m > 2 && isLeapYear(int(y)) ? 1 : 0);
  const int64_t result = first + int64_t(day) - 1;
  return result < kFirstDay || result > kLastDay ? -1 : int32_t(result);
}

int32_t dayNumber(int month, int day, int year, int window) { return dayNumber(month, day, year, window, loadLocale().currentYear); }

CivilDate splitDay(int32_t d) {
  if (!isValidDay(d)) return {};
  // Constant time: count in 400-year eras of 146,097 days from 1 March of year 0, so the leap
  // day falls at the end of each year of the count.
  constexpr int64_t kMarch1Year0 = 657'738;  // days from 1 March of year 0 to 28 December 1800
  const int64_t z = d + kMarch1Year0;
  const int64_t era = z / 146'097;
  const int64_t doe = z - era * 146'097;                                         // [0, 146096]
  const int64_t yoe = (doe - doe / 1'460 + doe / 36'524 - doe / 146'096) / 365;  // [0, 399]
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                   // [0, 365]
  const int64_t mp = (5 * doy + 2) / 153;                                        // March = 0
  const int day = int(doy - (153 * mp + 2) / 5 + 1);
  const int month = int(mp < 10 ? mp + 3 : mp - 9);
  return {int(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

int32_t timeNumber(int hours, int minutes, int seconds, int hundredths) {
  return hours * 360'000 + minutes * 6'000 + seconds * 100 + hundredths + 1;
}

ClockTime splitTime(int32_t time) {
  if (!isValidTime(time)) return {};
  const int32_t t = time - 1;
  return {t / 360'000, t / 6'000 % 60, t / 100 % 60, t % 100};
}

uint32_t packDate(int32_t day) {
  const CivilDate c = splitDay(day);
  return uint32_t(c.year) << 16 | uint32_t(c.month) << 8 | uint32_t(c.day);
}

int32_t unpackDate(uint32_t packed) {
  int year = int(packed >> 16), month = int(packed >> 8 & 0xFF), day = int(packed & 0xFF);
  if (year >= 10000) year = 9999, month = 12, day = 31;
  if (year < 1801 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return 0;
  return dayNumber(month, day, year, kDefaultCenturyWindow, 2000);
}

uint32_t packTime(int32_t time) {
  const ClockTime c = splitTime(time);
  return uint32_t(c.hours) << 24 | uint32_t(c.minutes) << 16 | uint32_t(c.seconds) << 8 | uint32_t(c.hundredths);
}

int32_t unpackTime(uint32_t packed) {
  const int h = int(packed >> 24), m = int(packed >> 16 & 0xFF), s = int(packed >> 8 & 0xFF), c = int(packed & 0xFF);
  if (packed == 0) return 0;
  if (h > 23 || m > 59 || s > 59 || c > 99) return -1;
  return timeNumber(h, m, s, c);
}

int32_t today() {
  if (const char* fixed = std::getenv("TAMSIL_TODAY"); fixed && *fixed) {
    const std::string_view s = fixed;
    if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
      const int y = fixedNumber(s, 0, 4), m = fixedNumber(s, 5, 2), d = fixedNumber(s, 8, 2);
      if (y >= 1801 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m)) return dayNumber(m, d, y, kDefaultCenturyWindow, y);
    }
  }
  std::tm now{};
  long ns = 0;
  if (!localNow(now, ns)) return 0;
  return dayNumber(now.tm_mon + 1, now.tm_mday, now.tm_year + 1900, kDefaultCenturyWindow, 2000);
}

int currentYear() {
  const int year = yearOf(today());
  return year != 0 ? year : 2000;
}

int32_t clockTime() {
  std::tm now{};
  long ns = 0;
  if (!localNow(now, ns)) return 0;
  return timeNumber(now.tm_hour, now.tm_min, now.tm_sec > 59 ? 59 : now.tm_sec, int(ns / 10'000'000));
}

std::string ageText(int32_t birth, int32_t base) {
  const std::string stars(255, '*');
  if (!isValidDay(birth) || !isValidDay(base)) return stars;
  if (birth > base) {
    const CivilDate b = splitDay(birth);
    birth = dayNumber(b.month, b.day, b.year - 100, kDefaultCenturyWindow, 2000);
    if (!isValidDay(birth) || birth > base) return stars;
  }
  if (base - birth < 61) return std::to_string(base - birth) + " DAYS";
  const CivilDate b = splitDay(birth), n = splitDay(base);
  int months = 12 * (n.year - b.year);
  if (n.year - b.year <= 2) {
    months += n.month - b.month;
    if (n.day < b.day) --months;
  }
  if (months <= 24) return std::to_string(months) + " MOS";
  int years = n.year - b.year;
  if (n.month < b.month || (n.month == b.month && n.day < b.day)) --years;
  return std::to_string(years) + " YRS";
}

std::string ageText(int32_t birth) { return ageText(birth, today()); }

}  // namespace tamsil
