#include <gtest/gtest.h>

#include "common/time/calendar.h"

namespace mardonel {

namespace {

TEST(Calendar, DayNumbersAndRealDates) {
  struct Case {
    CalendarDate date;
    std::int64_t day;
  };
  for (const Case& c :
       {Case{{1601, 1, 1}, 0}, Case{{1600, 12, 31}, -1}, Case{{1600, 2, 29}, -307}, Case{{1900, 3, 1}, 109266},
        Case{{2000, 2, 29}, 145790}, Case{{2026, 12, 7}, 155568}, Case{{9999, 12, 31}, 3067670}}) {
    EXPECT_EQ(DaysSince1601(c.date).count(), c.day) << c.day;
    EXPECT_EQ(DateAfter1601(std::chrono::days(c.day)), c.date) << c.day;
  }
  for (const CalendarDate& date : {CalendarDate{1900, 2, 29}, CalendarDate{2100, 2, 29}, CalendarDate{2026, 4, 31},
                                   CalendarDate{2026, 0, 1}, CalendarDate{2026, 13, 1}, CalendarDate{2026, 1, 0}}) {
    EXPECT_FALSE(IsRealDate(date)) << date.year << "-" << date.month << "-" << date.day;
  }
  EXPECT_TRUE(IsRealDate({2000, 2, 29}));
  EXPECT_TRUE(IsRealDate({2400, 2, 29}));
}

// Every day from 1201 to 2801 by a plain walk: a month ends at its length,
// February's 29th only in leap years. 1201 lies one 400-year era before 1601.
TEST(Calendar, EveryDayOfSixteenCenturiesAgainstAWalk) {
  CalendarDate date{1201, 1, 1};
  for (std::int64_t day = -146097; date.year < 2801; ++day) {
    ASSERT_EQ(DaysSince1601(date).count(), day);
    ASSERT_EQ(DateAfter1601(std::chrono::days(day)), date) << day;
    ASSERT_TRUE(IsRealDate(date)) << day;
    const bool leap = date.year % 4 == 0 && (date.year % 100 != 0 || date.year % 400 == 0);
    const int lengths[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.day < lengths[date.month - 1]) {
      ++date.day;
      continue;
    }
    ASSERT_FALSE(IsRealDate({date.year, date.month, date.day + 1})) << day;
    date = date.month == 12 ? CalendarDate{date.year + 1, 1, 1} : CalendarDate{date.year, date.month + 1, 1};
  }
}

}  // namespace

}  // namespace mardonel
