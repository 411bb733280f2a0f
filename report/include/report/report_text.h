// The report as text: a table for the console, CSV and JSON Lines for
// loading into other tools. Needs nothing of the platform. Lines end with
// CR LF, as CSV wants them; a line feed inside a field is left as it is.
#pragma once

#include <string>

#include "report/managed_days.h"

namespace mardonel {

// "H:MM:SS", hours without a bound.
std::string DurationText(std::int64_t seconds);

// One row a day and the totals, within 80 columns.
std::string ReportTable(const std::string& computer, const ManagedDays& days);

// RFC 4180 with a header row, one row a day.
std::string ReportCsv(const std::string& computer, const ManagedDays& days);

// One JSON object a line, a day a line, with the names of the CSV header.
std::string ReportJsonLines(const std::string& computer, const ManagedDays& days);

}  // namespace mardonel
