// Day numbers against an independent proleptic Gregorian calendar, time numbers, packed forms,
// two-digit years and age texts.
#include "runtime/value/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace tamsil {
namespace {

using namespace std::chrono;

// Day 0 of the runtime's calendar is 28 December 1800.
constexpr sys_days kDayZero = sys_days(year(1800) / December / 28);

TEST(CalendarTest, EveryValidDayMatchesTheGregorianCalendarBothWays) {
  int failures = 0;
  for (int32_t d = kFirstDay; d <= kLastDay && failures < 10; ++d) {
    const year_month_day ymd(kDayZero + days(d));
    const CivilDate c = splitDay(d);
    const bool same = c.year == int(ymd.year()) && c.month == int(unsigned(ymd.month())) && c.day == int(unsigned(ymd.day()));
    const int32_t back = dayNumber(c.month, c.day, c.year, kDefaultCenturyWindow, 2000);
    if (!same || back != d) {
      ++failures;
      ADD_FAILURE() << "day " << d << ": got " << c.year << "-" << c.month << "-" << c.day << ", back " << back;
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(CalendarTest, RangeBoundsAndLeapDays) {
  EXPECT_EQ(dayNumber(1, 1, 1801, 80, 2000), 4);
  EXPECT_EQ(dayNumber(12, 31, 9999, 80, 2000), 2'994'626);
  EXPECT_EQ(dayNumber(1, 1, 2000, 80, 2000), 72'687);
  EXPECT_EQ(splitDay(3).year, 0);
  EXPECT_EQ(splitDay(2'994'627).month, 0);
  EXPECT_EQ(dayNumber(12, 31, 1800, 80, 2000), -1);
  EXPECT_EQ(dayNumber(1, 1, 10000, 80, 2000), -1);
  EXPECT_EQ(dayNumber(12, 32, 9999, 80, 2000), -1);                              // rolls past the last day
  EXPECT_EQ(dayNumber(2, 29, 1900, 80, 2000), dayNumber(3, 1, 1900, 80, 2000));  // 1900 is no leap year
  EXPECT_NE(dayNumber(2, 29, 2000, 80, 2000), dayNumber(3, 1, 2000, 80, 2000));  // 2000 is one
}

struct DateCase {
  int month, day, year;
  int ey, em, ed;  // expected date; ey 0: invalid (-1)
};

class DateRollTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateRollTest, DateOperationRollsOverLikeTheRuntime) {
  const DateCase& c = GetParam();
  const int32_t d = dayNumber(c.month, c.day, c.year, 80, 2008);
  if (c.ey == 0) {
    EXPECT_EQ(d, -1);
    return;
  }
  const CivilDate got = splitDay(d);
  EXPECT_EQ(got.year, c.ey);
  EXPECT_EQ(got.month, c.em);
  EXPECT_EQ(got.day, c.ed);
}

INSTANTIATE_TEST_SUITE_P(Cases, DateRollTest,
                         ::testing::Values(DateCase{2, 30, 2008, 2008, 3, 1}, DateCase{2, 29, 1900, 1900, 3, 1},
                                           DateCase{2, 29, 2000, 2000, 2, 29}, DateCase{3, 0, 2008, 2008, 2, 29},
                                           DateCase{13, 1, 2007, 2008, 1, 1}, DateCase{25, 1, 2007, 2009, 1, 1},
                                           DateCase{1, 366, 2008, 2008, 12, 31}, DateCase{1, 5, 8, 2008, 1, 5}, DateCase{1, 5, 27, 2027, 1, 5},
                                           DateCase{1, 5, 28, 1928, 1, 5}, DateCase{0, 1, 2008, 0, 0, 0}, DateCase{-1, 1, 2008, 0, 0, 0},
                                           DateCase{1, 1, 1800, 0, 0, 0}, DateCase{1, -100000, 2008, 0, 0, 0}));

TEST(CalendarTest, CenturyWindowPlacesTwoDigitYears) {
  struct Row {
    int yy, window, current, expected;
  } rows[] = {
      {8, 80, 2008, 2008}, {27, 80, 2008, 2027}, {28, 80, 2008, 1928}, {29, 80, 2008, 1929}, {0, 0, 2008, 2100},   {8, 0, 2008, 2008},
      {7, 0, 2008, 2107},  {9, 99, 2008, 1909},  {10, 99, 2008, 1910}, {8, 99, 2008, 2008},  {99, 80, 2050, 1999}, {30, 80, 2050, 2030},
  };
  for (const Row& r : rows) EXPECT_EQ(expandTwoDigitYear(r.yy, r.window, r.current), r.expected) << r.yy << " window " << r.window;
}

TEST(CalendarTest, TimeNumbersSplitAndJoin) {
  EXPECT_EQ(timeNumber(0, 0, 0, 0), 1);
  EXPECT_EQ(timeNumber(23, 59, 59, 99), kLastTime);
  for (int32_t t : {1, 2, 100, 360'001, 4'710'001, kLastTime}) {
    const ClockTime c = splitTime(t);
    EXPECT_EQ(timeNumber(c.hours, c.minutes, c.seconds, c.hundredths), t);
  }
  const ClockTime c = splitTime(4'710'001);
  EXPECT_EQ(c.hours, 13);
  EXPECT_EQ(c.minutes, 5);
  EXPECT_EQ(splitTime(0).hours + splitTime(kLastTime + 1).minutes, 0);
}

TEST(CalendarTest, PackedDatesAndTimes) {
  const int32_t d = dayNumber(1, 5, 2008, 80, 2000);
  EXPECT_EQ(packDate(d), 2008u << 16 | 1u << 8 | 5u);
  EXPECT_EQ(unpackDate(packDate(d)), d);
  EXPECT_EQ(packDate(3), 0u);
  EXPECT_EQ(unpackDate(0), 0);
  EXPECT_EQ(unpackDate(1900u << 16 | 2u << 8 | 29u), 0);  // 29 February 1900 is no date
  EXPECT_EQ(unpackDate(2000u << 16 | 2u << 8 | 29u), dayNumber(2, 29, 2000, 80, 2000));
  EXPECT_EQ(unpackDate(10000u << 16 | 1u << 8 | 1u), kLastDay);
  EXPECT_EQ(unpackDate(0xFFFFFFFFu), kLastDay);
  EXPECT_EQ(unpackDate(2008u << 16 | 13u << 8 | 1u), 0);
  EXPECT_EQ(unpackDate(1800u << 16 | 12u << 8 | 31u), 0);

  EXPECT_EQ(packTime(4'710'001), 13u << 24 | 5u << 16);
  EXPECT_EQ(unpackTime(13u << 24 | 5u << 16), 4'710'001);
  EXPECT_EQ(unpackTime(0), 0);
  EXPECT_EQ(unpackTime(1), 2);  // one hundredth past midnight
  EXPECT_EQ(unpackTime(24u << 24), -1);
  EXPECT_EQ(unpackTime(60u << 16), -1);
  EXPECT_EQ(unpackTime(60u << 8), -1);
  EXPECT_EQ(unpackTime(100u), -1);
  EXPECT_EQ(packTime(0), 0u);
}

TEST(CalendarTest, AgeTexts) {
  const int32_t base = dayNumber(6, 15, 2008, 80, 2000);
  auto on = [](int y, int m, int d) { return dayNumber(m, d, y, 80, 2000); };
  EXPECT_EQ(ageText(base - 60, base), "60 DAYS");
  EXPECT_EQ(ageText(base, base), "0 DAYS");
  EXPECT_EQ(ageText(base - 61, base), "2 MOS");
  EXPECT_EQ(ageText(on(2006, 6, 15), base), "24 MOS");
  EXPECT_EQ(ageText(on(2006, 5, 15), base), "2 YRS");  // 25 months
  EXPECT_EQ(ageText(on(2006, 6, 16), base), "23 MOS");
  EXPECT_EQ(ageText(on(1970, 6, 16), base), "37 YRS");
  EXPECT_EQ(ageText(on(1970, 6, 15), base), "38 YRS");
  EXPECT_EQ(ageText(on(2070, 6, 15), base), "38 YRS");  // a future birth date is a century earlier
  EXPECT_EQ(ageText(0, base), std::string(255, '*'));
  EXPECT_EQ(ageText(on(1850, 1, 1), on(1801, 1, 1)), std::string(255, '*'));
}

TEST(CalendarTest, TodayFollowsTheOverride) {
  ::setenv("TAMSIL_TODAY", "2008-01-05", 1);
  EXPECT_EQ(today(), dayNumber(1, 5, 2008, 80, 2000));
  EXPECT_EQ(currentYear(), 2008);
  ::setenv("TAMSIL_TODAY", "2008-02-30", 1);  // not a date: the clock is used
  EXPECT_GT(today(), dayNumber(1, 1, 2020, 80, 2000));
  ::unsetenv("TAMSIL_TODAY");
  EXPECT_GT(clockTime(), 0);
}

}  // namespace
}  // namespace tamsil
