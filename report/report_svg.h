// The report as a picture: one row a day, 24 hours across. Needs nothing of
// the platform.
#pragma once

#include <string>

#include "report/managed_days.h"

namespace mardonel {

// A self-contained SVG 1.1 document: no scripts, fonts or links. Each day is
// a group with the id "day-YYYY-MM-DD".
std::string ReportSvg(const std::string& computer, const ManagedDays& days);

}  // namespace mardonel
