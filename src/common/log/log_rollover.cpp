#include "common/log/log_rollover.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/fs/no_link_file.h"
#include "common/fs/no_link_folder.h"
#include "common/log/log_file.h"
#include "common/log/log_locked.h"
#include "common/log/log_settings.h"

namespace mardonel {

std::int32_t LogRenameErrors = 0;
bool ReportBackupErrors = true;

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
void ReportBackupError(const char* format, Args... args) {
  if (!ReportBackupErrors) return;
  ReportBackupErrors = false;
  LogPrintfLocked(format, args...);
  ReportBackupErrors = true;
}

}  // namespace

void LogBackupFileName(char* backup, std::size_t size) {
  std::snprintf(backup, size, "%s", LogFileName);
  const std::size_t length = std::strlen(backup);
  if (length == 0) return;
  backup[length - 1] = backup[length - 1] == '_' ? '~' : '_';
}

void RollOverLogFile(unique_hfile file, FileRenamer rename) {
  char backup[kLogFileNameSize];
  LogBackupFileName(backup, sizeof backup);
  file.reset();

  // Both names stay in this folder for as long as it is pinned.
  const PinnedFolders folder(LogFileName, 1);
  if (folder.refused()) {
    ReportLogLinkRefused("roll over");
    return;
  }
  const DWORD removed = DeleteFileNoLink(backup);
  if (removed == kLinkRefused) {
    ReportBackupError("%T: Refused to remove log backup through a link: %s\n", backup);
    return;
  }
  if (removed != ERROR_SUCCESS && ErrnoOf(removed) != ENOENT) {
    ReportBackupError("%T: LogBackupRemoveError = %d\n", ErrnoOf(removed));
    return;
  }

  DWORD renamed = rename(LogFileName, backup);
  if (renamed == ERROR_SUCCESS) {
    if (LogRenameErrors != 0) LogPrintfLocked("%T: LogRenameErrors = %d\n", LogRenameErrors);
    return;
  }
  if (renamed != kLinkRefused) {
    // Another program may hold the file for a moment (a reader, a scanner).
    Sleep(10);
    renamed = rename(LogFileName, backup);
  }
  if (renamed == kLinkRefused) {
    ReportLogLinkRefused("roll over");
  } else if (renamed != ERROR_SUCCESS) {
    ++LogRenameErrors;
  }
}

}  // namespace mardonel
