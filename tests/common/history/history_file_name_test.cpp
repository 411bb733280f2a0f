#include "common/history/history_file_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace mardonel {

namespace {

TEST(HistoryFileDate, OnlyEightDigitsOfARealDateThenTDotMgtInAnyCase) {
  struct Case {
    std::string name;
    std::optional<CalendarDate> date;
  };
  const Case cases[] = {
      {"20261207T.mgt", CalendarDate{2026, 12, 7}},
      {"20261207t.MGT", CalendarDate{2026, 12, 7}},
      {"20240229T.Mgt", CalendarDate{2024, 2, 29}},
      {"20000229T.mgt", CalendarDate{2000, 2, 29}},
      {"00010101T.mgt", CalendarDate{1, 1, 1}},
      {"99991231T.mgt", CalendarDate{9999, 12, 31}},
      {"20261340T.mgt", std::nullopt},
      {"20230229T.mgt", std::nullopt},
      {"21000229T.mgt", std::nullopt},
      {"20260431T.mgt", std::nullopt},
      {"20261200T.mgt", std::nullopt},
      {"20260012T.mgt", std::nullopt},
      {"00000101T.mgt", std::nullopt},
      {"2026127T.mgt", std::nullopt},
      {"202612070T.mgt", std::nullopt},
      {"20261207T.mgt ", std::nullopt},
      {"20261207.mgt", std::nullopt},
      {"20261207X.mgt", std::nullopt},
      {"20261207T.mgx", std::nullopt},
      {"2026120 T.mgt", std::nullopt},
      {"+2026120T.mgt", std::nullopt},
      {"a.mgt", std::nullopt},
      {"notes.mgt", std::nullopt},
      {"", std::nullopt},
      {std::string("20261207T.mgt\0", 14), std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<CalendarDate> date = HistoryFileDate(c.name);
    ASSERT_EQ(date.has_value(), c.date.has_value()) << '"' << c.name << '"';
    if (!date) continue;
    EXPECT_EQ(date->year, c.date->year) << c.name;
    EXPECT_EQ(date->month, c.date->month) << c.name;
    EXPECT_EQ(date->day, c.date->day) << c.name;
  }
}

}  // namespace

}  // namespace mardonel
