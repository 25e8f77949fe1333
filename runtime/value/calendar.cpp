#include "runtime/value/calendar.h"

#include <cstdlib>
#include <ctime>
#include <string_view>

#include "platform/date/date.h"
#include "runtime/value/locale.h"

namespace tamsil {
namespace {

// The serial day (platform/date/date.h) of day 0, 28 December 1800.
constexpr int64_t kDayZero = platform::date::daysFromCivil(1800, 12, 28);

static_assert(platform::date::daysFromCivil(1801, 1, 1) - kDayZero == kFirstDay);
static_assert(platform::date::daysFromCivil(2000, 1, 1) - kDayZero == 72'687);

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
  const int64_t result = platform::date::daysFromCivil(y, m, day) - kDayZero;
  return result < kFirstDay || result > kLastDay ? -1 : int32_t(result);
}

int32_t dayNumber(int month, int day, int year, int window) { return dayNumber(month, day, year, window, loadLocale().currentYear); }

CivilDate splitDay(int32_t d) {
  if (!isValidDay(d)) return {};
  const platform::date::YearMonthDay c = platform::date::civilFromDays(d + kDayZero);
  return {int(c.year), c.month, c.day};
}

int32_t timeNumber(int hours, int minutes, int seconds, int hundredths) {
  return int32_t(platform::date::secondsOfDay(hours, minutes, seconds) * 100 + hundredths + 1);
}

ClockTime splitTime(int32_t time) {
  if (!isValidTime(time)) return {};
  const int32_t t = time - 1;
  const platform::date::ClockTime c = platform::date::splitSeconds(t / 100);
  return {int(c.hours), c.minutes, c.seconds, t % 100};
}

uint32_t packDate(int32_t day) {
  const CivilDate c = splitDay(day);
  return uint32_t(c.year) << 16 | uint32_t(c.month) << 8 | uint32_t(c.day);
}

int32_t unpackDate(uint32_t packed) {
  int year = int(packed >> 16), month = int(packed >> 8 & 0xFF), day = int(packed & 0xFF);
  if (year >= 10000) year = 9999, month = 12, day = 31;
  if (year < 1801 || !platform::date::isCalendarDate(year, month, day)) return 0;
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
      if (y >= 1801 && platform::date::isCalendarDate(y, m, d)) return dayNumber(m, d, y, kDefaultCenturyWindow, y);
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
