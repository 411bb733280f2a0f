#include "common/log/log_settings.h"

#include <string>
#include <string_view>

#include "common/fs/directory.h"
#include "common/log/log.h"
#include "common/log/log_escape.h"
#include "common/log/log_state.h"

namespace mardonel {

namespace {

// Empty (the default name), "-", or a full path of printable characters: a
// relative name would resolve against the service's current folder,
// System32, and so would a variable the expansion left as %NAME%.
[[nodiscard]] bool IsUsableLogFileName(std::string_view name) {
  if (name.empty() || name == "-") return true;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return IsFullPath(name.data());
}

}  // namespace

LogSettings CurrentLogSettings() { return LockedLogState()->settings; }

void SetLogSettings(const LogSettings& settings) {
  LogSettings taken = settings;
  taken.fileName[kLogFileNameSize - 1] = '\0';
  // Never empty when refused, as an empty name is the default's.
  const std::string refused = IsUsableLogFileName(taken.fileName) ? std::string() : EscapedForLog(taken.fileName);
  if (!refused.empty()) taken.fileName[0] = '\0';
  if (taken.maxFileSize != 0 && taken.maxFileSize < kMinLogFileSize) taken.maxFileSize = kMinLogFileSize;
  {
    const LockedLogState log;
    log->settings = taken;
    log->knownEnd = -1;
  }
  // Said in the log that is in force now, under its default name.
  if (!refused.empty()) {
    LogPrintf("%T: LogFileName \"%s\" is not a usable full path; the log keeps its default name\n", refused.c_str());
  }
}

bool DebugInfoEnabled() { return (LockedLogState()->settings.debugMask & kDebugInfo) != 0; }

}  // namespace mardonel
