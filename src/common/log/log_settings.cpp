#include "common/log/log_settings.h"

#include <string>

#include "common/log/log.h"
#include "common/log/log_escape.h"
#include "common/log/log_file_name.h"
#include "log_state.h"

namespace mardonel {

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
