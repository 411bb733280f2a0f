// UTC FILETIME values as the heartbeat carries them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/file_time.h"

namespace mardonel {

// "2026-12-07 14:00:01 UTC"
std::string UtcText(std::uint64_t units);

}  // namespace mardonel
