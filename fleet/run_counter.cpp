#include "run_counter.h"

#include <charconv>

namespace mardonel::fleet {

namespace {

void Field(std::string& rows, const std::optional<std::int64_t>& value) {
  if (value) {
    char digits[24];
    rows.append(digits, std::to_chars(digits, digits + sizeof digits, *value).ptr);
  } else {
    rows += "\\N";
  }
  rows += '\t';
}

}  // namespace

void RunCounter::Day(std::string_view computer, std::int64_t day, bool managed) {
  if (!any_ || computer != computer_) {
    Write();
    any_ = true;
    computer_ = computer;
    firstDay_ = day;
    lastManaged_.reset();
    firstRunStart_.reset();
    longestLast_.reset();
    currentDays_ = firstRunDays_ = longestDays_ = days_ = 0;
  } else if (day != lastDay_ + 1) {
    currentDays_ = 0;
  }
  lastDay_ = day;
  ++days_;
  if (managed) {
    currentDays_ = 0;
    lastManaged_ = day;
    return;
  }
  if (++currentDays_ == 1 && firstRunDays_ == 0) firstRunStart_ = day;
  if (firstRunStart_ == day - currentDays_ + 1) firstRunDays_ = currentDays_;
  if (currentDays_ >= longestDays_) {
    longestDays_ = currentDays_;
    longestLast_ = day;
  }
}

void RunCounter::Write() {
  if (!any_) return;
  Field(rows_, firstDay_);
  Field(rows_, lastDay_);
  Field(rows_, lastManaged_);
  Field(rows_, firstRunStart_);
  Field(rows_, firstRunDays_);
  Field(rows_, longestDays_);
  Field(rows_, longestLast_);
  Field(rows_, currentDays_);
  Field(rows_, days_);
  rows_ += computer_;
  rows_ += '\n';
}

std::string RunCounter::Finish() {
  Write();
  any_ = false;
  return std::move(rows_);
}

}  // namespace mardonel::fleet
