// UTC FILETIME values as the heartbeat carries them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace mardonel {

std::uint64_t UtcNowUnits();
FILETIME ToFileTime(std::uint64_t units);
// "2026-12-07 14:00:01 UTC"
std::string UtcText(std::uint64_t units);

}  // namespace mardonel
