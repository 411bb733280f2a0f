#include <gtest/gtest.h>

#include <string>

#include "report/local_days.h"
#include "report_options.h"

namespace mardonel {

namespace {

ReportOptions Taken(const std::vector<std::string>& arguments) {
  const Result<ReportOptions> parsed = ParseReportOptions(arguments);
  if (!parsed) ADD_FAILURE() << parsed.reason();
  return parsed ? *parsed : ReportOptions{};
}

// Why the command line, or the range it asks for, is refused; "" when not.
std::string Refused(const std::vector<std::string>& arguments, LocalDays today) {
  const Result<ReportOptions> parsed = ParseReportOptions(arguments);
  if (!parsed) return parsed.reason();
  const Result<DayRange> days = ReportDays(*parsed, today);
  return days ? "" : days.reason();
}

TEST(LocalDays, DatesAndDayNumbers) {
  struct Case {
    const char* iso;
    std::int64_t day;
  };
  for (const Case& c :
       {Case{"1601-01-01", 0}, Case{"1601-12-31", 364}, Case{"1602-01-01", 365}, Case{"1900-02-28", 109265},
        Case{"1900-03-01", 109266}, Case{"2000-02-29", 145790}, Case{"2000-03-01", 145791}, Case{"2024-02-29", 154556},
        Case{"2026-12-07", 155568}, Case{"2100-02-28", 182314}, Case{"2100-03-01", 182315}, Case{"2400-02-29", 291887},
        Case{"2400-03-01", 291888}, Case{"9999-12-31", 3067670}}) {
    const std::optional<CalendarDate> date = ParseIsoDate(c.iso);
    ASSERT_TRUE(date) << c.iso;
    EXPECT_EQ(DayOf<LocalClock>(*date), LocalDays(std::chrono::days(c.day))) << c.iso;
    EXPECT_EQ(IsoDate(LocalDays(std::chrono::days(c.day))), c.iso);
  }
  for (const char* bad : {"2026-02-29", "1900-02-29", "2100-02-29", "2026-13-01", "2026-04-31", "1600-12-31",
                          "2026-1-01", "2026/12/07", ""}) {
    EXPECT_FALSE(ParseIsoDate(bad)) << bad;
  }
  EXPECT_EQ(IsoLocalTime(LocalSeconds(std::chrono::days(155568) + std::chrono::seconds(3723))), "2026-12-07T01:02:03");
  EXPECT_EQ(IsoLocalTime(LocalSeconds(std::chrono::days(145791) - std::chrono::seconds(1))), "2000-02-29T23:59:59");
}

TEST(ReportOptions, RangesAndMistakes) {
  struct Case {
    std::vector<std::string> arguments;
    std::int64_t firstDay;
    std::int64_t lastDay;
  };
  const LocalDays today{std::chrono::days(155568)};
  const Case ranges[] = {
      {{}, 155568 - 29, 155568},
      {{"--days", "1"}, 155568, 155568},
      {{"--from", "2026-12-01", "--until", "2026-12-03"}, 155562, 155564},
      {{"--until", "2026-12-03", "--days", "2"}, 155563, 155564},
      {{"--days", "3660"}, 155568 - 3659, 155568},
      {{"--from", "1601-01-01", "--until", "1611-01-08"}, 0, 3659},
  };
  for (const Case& c : ranges) {
    const Result<DayRange> days = ReportDays(Taken(c.arguments), today);
    ASSERT_TRUE(days) << days.reason();
    EXPECT_EQ(days->firstDay.time_since_epoch().count(), c.firstDay);
    EXPECT_EQ(days->lastDay.time_since_epoch().count(), c.lastDay);
  }
  for (const auto& [gap, seconds] : {std::pair{"90m", 5400}, std::pair{"720h", 2592000}, std::pair{"43200m", 2592000},
                                     std::pair{"2592000s", 2592000}, std::pair{"1s", 1}}) {
    EXPECT_EQ(Taken({"--max-gap", gap}).maxGap.count(), seconds) << gap;
  }

  const std::pair<std::vector<std::string>, const char*> mistakes[] = {
      {{"--days", "0"}, "--days wants a whole number from 1 to 3660, not '0'"},
      {{"--from", "2026-02-30"}, "--from wants a date as YYYY-MM-DD, not '2026-02-30'"},
      {{"--max-gap", "2"}, "--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '2'"},
      {{"--max-gap", "31d"}, "--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '31d'"},
      {{"--max-gap", "721h"}, "--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '721h'"},
      {{"--max-gap", "2592001s"}, "--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '2592001s'"},
      {{"--max-gap", "0h"}, "--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '0h'"},
      {{"--days", "3661"}, "--days wants a whole number from 1 to 3660, not '3661'"},
      {{"--csv", "--json"}, "--csv and --json exclude each other"},
      {{"--days", "3", "--from", "2026-12-01"}, "--days and --from exclude each other"},
      {{"--folder"}, "--folder needs a value"},
      {{"--colour"}, "unknown option '--colour'"},
      {{"--from", "2026-12-08", "--until", "2026-12-07"}, "--from is later than --until"},
      {{"--from", "2026-12-08"}, "--from is later than today"},
      {{"--from", "1601-01-01", "--until", "1611-01-09"}, "the report covers at most 3660 days"},
      {{"--until", "1601-01-05", "--days", "10"}, "the report starts before 1601"},
  };
  for (const auto& [arguments, error] : mistakes) EXPECT_EQ(Refused(arguments, today), error);
}

}  // namespace

}  // namespace mardonel
