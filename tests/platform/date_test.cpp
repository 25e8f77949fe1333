// The date arithmetic against the standard library's calendar (std::chrono), day by day over
// more than ten thousand years either side of day 0, and every second of a day.
#include "platform/date/date.h"

#include <gtest/gtest.h>

#include <chrono>

namespace platform::date {
namespace {

using namespace std::chrono;

TEST(DateTest, EveryDayFromYearMinus4800To9999MatchesTheStandardCalendarBothWays) {
  const std::int64_t first = sys_days(year(-4800) / January / 1).time_since_epoch().count();
  const std::int64_t last = sys_days(year(9999) / December / 31).time_since_epoch().count();
  int failures = 0;
  for (std::int64_t d = first; d <= last && failures < 10; ++d) {
    const year_month_day expected{sys_days{days{d}}};
    const YearMonthDay got = civilFromDays(d);
    const bool same =
        got.year == int(expected.year()) && got.month == int(unsigned(expected.month())) && got.day == int(unsigned(expected.day()));
    const std::int64_t back = daysFromCivil(got.year, got.month, got.day);
    const int length = int(unsigned(year_month_day_last(expected.year(), month_day_last(expected.month())).day()));
    if (!same || back != d || daysInMonth(got.year, got.month) != length || isLeapYear(got.year) != expected.year().is_leap()) {
      ++failures;
      ADD_FAILURE() << "day " << d << ": got " << got.year << "-" << got.month << "-" << got.day << ", back " << back;
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(DateTest, DaysOutsideTheMonthCountOnAndOleSerialZeroIs30December1899) {
  const auto serial = [](year_month_day ymd) { return sys_days(ymd).time_since_epoch().count(); };
  EXPECT_EQ(daysFromCivil(2024, 2, 30), serial(year(2024) / March / 1));
  EXPECT_EQ(daysFromCivil(2023, 3, 0), serial(year(2023) / February / 28));
  EXPECT_EQ(daysFromCivil(1999, 12, 400), serial(year(1999) / December / 1) + 399);
  EXPECT_EQ(oleSerialFromDays(serial(year(1899) / December / 30)), 0);
  EXPECT_EQ(daysFromOleSerial(0), serial(year(1899) / December / 30));
}

TEST(DateTest, EverySecondOfADayMatchesTheStandardClock) {
  for (std::int64_t s = 0; s < kSecondsPerDay; ++s) {
    const hh_mm_ss<seconds> expected{seconds{s}};
    const ClockTime got = splitSeconds(s);
    ASSERT_EQ(got.hours, expected.hours().count()) << s;
    ASSERT_EQ(got.minutes, expected.minutes().count()) << s;
    ASSERT_EQ(got.seconds, expected.seconds().count()) << s;
    ASSERT_EQ(secondsOfDay(got.hours, got.minutes, got.seconds), s);
  }
}

}  // namespace
}  // namespace platform::date
