// Each machine's runs of days without managed time, counted over its days
// given in rising order, one machine after another; a day without a row, or
// with managed time, ends a run. Of each machine a row of COPY's text format
// for fleet_walked (see fleet/load_transaction.cpp), from which the stored
// summaries are carried on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mardonel::fleet {

class RunCounter {
 public:
  // `computer` as COPY's text format writes it; days as DaysSince1601 counts.
  void Day(std::string_view computer, std::int64_t day, bool managed);
  // The rows of the machines given so far, the last one included.
  [[nodiscard]] std::string Finish();

 private:
  void Write();

  std::string rows_;
  std::string computer_;
  bool any_ = false;
  std::int64_t firstDay_ = 0;
  std::int64_t lastDay_ = 0;
  std::optional<std::int64_t> lastManaged_;
  // The first run of the days given, which may go on from the stored one.
  std::optional<std::int64_t> firstRunStart_;
  std::int64_t firstRunDays_ = 0;
  // The longest, and of equally long ones the latest.
  std::int64_t longestDays_ = 0;
  std::optional<std::int64_t> longestLast_;
  std::int64_t currentDays_ = 0;
  std::int64_t days_ = 0;
};

}  // namespace mardonel::fleet
