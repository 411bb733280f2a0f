// The expected line of a record whose time a test cannot choose.
#pragma once

#include <cstdint>
#include <string>

namespace mardonel {

// The record as the module must write it under the tests' pinned locale,
// "<local FILETIME>,<state>,<reason>,M/D/YYYY hh:mm:ss" and CR LF, built
// without the module's code. Where the time is known, tests write the line
// out literally instead.
std::string HistoryLine(std::uint64_t localTime, int state, const std::string& reason);

}  // namespace mardonel
