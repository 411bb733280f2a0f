#include "log_rollover.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/fs/no_link_file.h"
#include "common/fs/no_link_folder.h"
#include "log_file.h"
#include "log_locked.h"

namespace mardonel {

namespace {

// The errno the C runtime gives for `error` when it removes a file by name.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_NETWORK_ACCESS_DENIED:
      return EACCES;
    default:
      return EINVAL;
  }
}

// The nested record lands in the still full file and tries the rollover
// again, which must not report a second time.
template <typename... Args>
void ReportBackupError(LogState& log, const char* format, Args... args) {
  if (!log.reportBackupErrors) return;
  log.reportBackupErrors = false;
  LogPrintfLocked(log, format, args...);
  log.reportBackupErrors = true;
}

}  // namespace

void LogBackupFileName(const char* logPath, char* backup, std::size_t size) {
  std::snprintf(backup, size, "%s", logPath);
  const std::size_t length = std::strlen(backup);
  if (length == 0) return;
  backup[length - 1] = backup[length - 1] == '_' ? '~' : '_';
}

void RollOverLogFile(LogState& log, unique_hfile file, FileRenamer rename) {
  const char* path = LogFilePath(log);
  char backup[kLogFileNameSize];
  LogBackupFileName(path, backup, sizeof backup);
  file.reset();

  // Both names stay in this folder for as long as it is pinned.
  const PinnedFolders folder(path, 1);
  if (folder.refused()) {
    ReportLogLinkRefused(path, "roll over");
    return;
  }
  const DWORD removed = DeleteFileNoLink(backup);
  if (removed == kLinkRefused) {
    ReportBackupError(log, "%T: Refused to remove log backup through a link: %s\n", backup);
    return;
  }
  if (removed != ERROR_SUCCESS && ErrnoOf(removed) != ENOENT) {
    ReportBackupError(log, "%T: LogBackupRemoveError = %d\n", ErrnoOf(removed));
    return;
  }

  DWORD renamed = rename(path, backup);
  if (renamed == ERROR_SUCCESS) {
    if (log.renameErrors != 0) LogPrintfLocked(log, "%T: LogRenameErrors = %d\n", log.renameErrors);
    return;
  }
  if (renamed != kLinkRefused) {
    // Another program may hold the file for a moment (a reader, a scanner).
    Sleep(10);
    renamed = rename(path, backup);
  }
  if (renamed == kLinkRefused) {
    ReportLogLinkRefused(path, "roll over");
  } else if (renamed != ERROR_SUCCESS) {
    ++log.renameErrors;
  }
}

}  // namespace mardonel
