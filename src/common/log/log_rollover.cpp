#include "common/log/log_rollover.h"

#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/log/log_locked.h"
#include "common/log/log_settings.h"

std::int32_t LogRenameErrors = 0;
bool ReportBackupErrors = true;

void LogBackupFileName(char* backup, std::size_t size) {
  std::snprintf(backup, size, "%s", LogFileName);
  const std::size_t length = std::strlen(backup);
  if (length == 0) return;
  backup[length - 1] = backup[length - 1] == '_' ? '~' : '_';
}

void RollOverLogFile(unique_hfile file) {
  char backup[kLogFileNameSize];
  LogBackupFileName(backup, sizeof backup);
  file.reset();

  if (_unlink(backup) != 0 && errno != ENOENT) {
    // The nested record lands in the still full file and tries the rollover
    // again, which must not report a second time.
    const int error = errno;
    if (ReportBackupErrors) {
      ReportBackupErrors = false;
      LogPrintfLocked("%T: LogBackupRemoveError = %d\n", error);
      ReportBackupErrors = true;
    }
    return;
  }

  if (std::rename(LogFileName, backup) == 0) {
    if (LogRenameErrors != 0) LogPrintfLocked("%T: LogRenameErrors = %d\n", LogRenameErrors);
    return;
  }
  // Another program may hold the file for a moment (a reader, a scanner).
  Sleep(10);
  if (std::rename(LogFileName, backup) != 0) ++LogRenameErrors;
}
