// FILETIME values as plain counts of 100-ns intervals, and the clock's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace mardonel {

std::uint64_t FileTimeValue(const FILETIME& time);
FILETIME FileTimeOf(std::uint64_t value);
std::uint64_t LocalNowFileTime();

// The history file name of a date, e.g. "20261207T.mgt".
std::string HistoryNameFor(const SYSTEMTIME& date);

}  // namespace mardonel
