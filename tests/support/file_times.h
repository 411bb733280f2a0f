// The local clock as a FILETIME count, and history names of dates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/file_time.h"

namespace mardonel {

std::uint64_t LocalNowFileTime();

// The history file name of a date, e.g. "20261207T.mgt".
std::string HistoryNameFor(const SYSTEMTIME& date);

}  // namespace mardonel
