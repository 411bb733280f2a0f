#include "common/log/log_settings.h"

#include "common/log/log_state.h"

namespace mardonel {

LogSettings CurrentLogSettings() { return LockedLogState()->settings; }

void SetLogSettings(const LogSettings& settings) {
  const LockedLogState log;
  log->settings = settings;
  log->knownEnd = -1;
  log->settings.fileName[kLogFileNameSize - 1] = '\0';
  if (log->settings.maxFileSize != 0 && log->settings.maxFileSize < kMinLogFileSize) {
    log->settings.maxFileSize = kMinLogFileSize;
  }
}

bool DebugInfoEnabled() { return (LockedLogState()->settings.debugMask & kDebugInfo) != 0; }

}  // namespace mardonel
