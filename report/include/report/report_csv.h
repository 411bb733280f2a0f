// The report's CSV in one home: its columns, their order and the rules of
// their values, for the report that writes it and the fleet that reads it.
// Needs nothing of the platform.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/time/time_points.h"

namespace mardonel {

inline constexpr std::array<std::string_view, 8> kReportCsvColumns = {
    "computer", "date", "managed_s", "unmanaged_s", "off_s", "changes", "first_record", "last_record"};
inline constexpr std::string_view kReportCsvHeader =
    "computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record";

// As long as a DNS name, in characters of UTF-8.
inline constexpr std::size_t kReportCsvComputerMaxCharacters = 255;
// 23 or 25 hours on the days the clock changes for daylight saving.
inline constexpr std::int64_t kReportCsvShortestDay = std::int64_t{23} * 3600;
inline constexpr std::int64_t kReportCsvLongestDay = std::int64_t{25} * 3600;

// One row: the machine's local day and its records' local readings.
struct ReportCsvRow {
  std::string computer;
  LocalDays day;
  std::int32_t managed = 0;
  std::int32_t unmanaged = 0;
  std::int32_t off = 0;
  std::int32_t changes = 0;
  std::optional<LocalSeconds> firstRecord;
  std::optional<LocalSeconds> lastRecord;
};

// `text` quoted as RFC 4180 wants it, when it holds a comma, quote or line break.
[[nodiscard]] std::string ReportCsvField(const std::string& text);

// Reads the report's CSV record by record: its header, then rows of eight
// fields, each field quoted as RFC 4180 has it or not (a quoted field may
// hold line breaks). Lines end with CR LF or LF.
class ReportCsvReader {
 public:
  explicit ReportCsvReader(std::string_view text) : text_(text) {}

  // Empty when the first record is the header; why not, otherwise.
  [[nodiscard]] std::string ReadHeader();
  // The next row and true; false at the end. A row that breaks a rule
  // leaves why in `error` (the row is then not to be used).
  [[nodiscard]] bool ReadRow(ReportCsvRow& row, std::string& error);
  // The line the last record read began on, from 1.
  [[nodiscard]] std::int64_t Line() const noexcept { return line_; }

 private:
  // The next record's fields into fields_; false at the end.
  bool NextRecord(std::string& error);

  std::string_view text_;
  std::size_t at_ = 0;
  std::int64_t line_ = 0;
  std::int64_t nextLine_ = 1;
  std::array<std::string, 9> fields_;
  std::size_t count_ = 0;
};

}  // namespace mardonel
