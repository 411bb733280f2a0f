// Process-wide settings of the diagnostic log, filled by the module's start-up.
#pragma once

#include <cstdint>

namespace mardonel {

inline constexpr int kLogFileNameSize = 260;

extern char LogFileName[kLogFileNameSize];  // empty: default name; "-": console only
extern std::int32_t MaxLogFilesize;         // bytes; 0 switches the log off
extern std::uint32_t Debug;                 // bit 0x10: informational lines

inline constexpr std::uint32_t kDebugInfo = 0x10;

inline bool DebugInfoEnabled() { return (Debug & kDebugInfo) != 0; }

}  // namespace mardonel
