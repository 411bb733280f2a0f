// The report as a picture: one row a day, 24 hours across. Needs nothing of
// the platform.
#pragma once

#include <string>

#include "report/managed_days.h"

namespace mardonel {

// Colours that stay apart in grey and for red-green colour blindness.
inline constexpr char kManagedColour[] = "#0072B2";
inline constexpr char kUnmanagedColour[] = "#E69F00";
inline constexpr char kOffColour[] = "#F0F0F0";

// A self-contained SVG 1.1 document: no scripts, fonts or links. Each day is
// a group with the id "day-YYYY-MM-DD".
std::string ReportSvg(const std::string& computer, const ManagedDays& days);

}  // namespace mardonel
