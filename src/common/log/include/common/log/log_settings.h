// The diagnostic log's settings, put in force by the module's start-up.
#pragma once

#include <cstdint>

namespace mardonel {

inline constexpr int kLogFileNameSize = 260;
inline constexpr std::int32_t kMinLogFileSize = 8192;
inline constexpr std::uint32_t kDebugInfo = 0x10;

struct LogSettings {
  char fileName[kLogFileNameSize] = "";  // empty: the default name; "-": console only
  std::int32_t maxFileSize = 1048576;    // bytes; 0 switches the log off
  std::uint32_t debugMask = 9;           // bit 0x10: informational lines
};

// The settings in force (the start values until SetLogSettings).
LogSettings CurrentLogSettings();

// Puts `settings` in force for the log's next record, in one step under the
// log lock. Any size other than 0 below kMinLogFileSize is raised to it. A
// file name that is not a full path is not used, and a line says so: the
// default name holds.
void SetLogSettings(const LogSettings& settings);

// Bit 0x10 of the debug mask in force.
bool DebugInfoEnabled();

}  // namespace mardonel
