// The command line of mardonel-report. Needs nothing of the platform.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/time/calendar.h"
#include "common/win/result.h"

namespace mardonel {

enum class ReportFormat { kTable, kCsv, kJsonLines };

struct ReportOptions {
  std::string folder;      // empty: the module's own
  std::string computer;    // empty: this machine's DNS name
  std::string outputFile;  // empty: standard output
  std::string svgFile;
  ReportFormat format = ReportFormat::kTable;
  int days = 30;
  std::optional<CalendarDate> from;
  std::optional<CalendarDate> until;
  std::chrono::seconds maxGap = std::chrono::hours(2);
  bool verbose = false;
  bool help = false;
};

// `arguments` without the program name; why the command line is refused.
[[nodiscard]] Result<ReportOptions> ParseReportOptions(const std::vector<std::string>& arguments);

// First and last day of the report, both included.
struct DayRange {
  LocalDays firstDay;
  LocalDays lastDay;
};

// The range the options ask for, given the local clock's today; refused when
// the days are in the wrong order or out of bounds.
[[nodiscard]] Result<DayRange> ReportDays(const ReportOptions& options, LocalDays today);

extern const char kReportUsageText[];

}  // namespace mardonel
