#include "log_file.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "common/fs/append_file.h"
#include "common/fs/directory.h"
#include "common/fs/no_link_file.h"
#include "common/fs/no_link_folder.h"
#include "common/log/log_file_name.h"
#include "common/win/error_text.h"
#include "log_console.h"

namespace mardonel {

namespace {

// The log file opened as itself, refused when it is a link.
NoLinkFile OpenLogFileWith(const char* path, DWORD disposition) {
  return OpenFileNoLink(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, disposition, FILE_ATTRIBUTE_NORMAL);
}

// Every record opens the file that is there already. Pinning its folder
// would cost half a plain append, so only the folder's name is looked at;
// creating the file pins the folder, so that no swap of the folder can make a
// file elsewhere.
NoLinkFile OpenExistingLogFile(const char* path) {
  if (IsInReparseFolder(path)) return {PlainFile{}, kLinkRefused};
  return OpenLogFileWith(path, OPEN_EXISTING);
}

NoLinkFile CreateLogFile(const char* path) {
  const PinnedFolders folder(path, 1);
  if (folder.refused()) return {PlainFile{}, kLinkRefused};
  return OpenLogFileWith(path, OPEN_ALWAYS);
}

// A line left open at the end of the file, by a write that came up short or
// by another program: the next record must not be glued onto it. The
// process's own last whole write tells without a read, and may have left its
// line open on purpose for the next record to go on.
bool LastLineCut(const LogState& log, const LogFile& file) {
  if (file.end == 0 || file.end == log.knownEnd) return false;
  bool open = false;
  return CheckLastLineOpen(file.handle.get(), open) == ERROR_SUCCESS && open;
}

}  // namespace

const char* LogFilePath(LogState& log) {
  if (log.settings.fileName[0] != '\0') return log.settings.fileName;
  if (log.defaultFileName[0] == '\0') MakeDefaultLogFileName(log.defaultFileName);
  return log.defaultFileName;
}

bool IsConsoleOnlyLog(const LogSettings& settings) {
  return settings.fileName[0] == '-' && settings.fileName[1] == '\0';
}

void ReportLogLinkRefused(const char* path, const char* action) {
  char line[kLogFileNameSize + 80];
  const int length = std::snprintf(line, sizeof line, "Refused to %s log file through a link: %s\r\n", action, path);
  if (length > 0) WriteLogConsole(line, std::strlen(line));
}

LogFile OpenLogFile(LogState& log) {
  if (IsConsoleOnlyLog(log.settings)) return {};
  const char* path = LogFilePath(log);
  if (path[0] == '\0') return {};

  NoLinkFile file = OpenExistingLogFile(path);
  if (!file.ok() && file.status() != kLinkRefused) {
    // In use: the record waits in the queue for a later call.
    if (file.status() == ERROR_SHARING_VIOLATION) return {};
    // The open that follows fails by itself and says why.
    static_cast<void>(CreateFolderOf(path));
    file = CreateLogFile(path);
    if (!file.ok() && file.status() != kLinkRefused) {
      SetLastError(file.status());
      const char* text = ErrorText(0);
      WriteLogConsole(text, std::strlen(text));
      return {};
    }
  }
  if (file.status() == kLinkRefused) {
    // The log cannot tell of its own refusal: the record stays queued.
    ReportLogLinkRefused(path, "write");
    return {};
  }
  LogFile opened{std::move(file.value().handle), file.value().size};
  opened.lastLineCut = LastLineCut(log, opened);
  // To the end the link check found: a move from the end would ask the
  // file for its size once more.
  LARGE_INTEGER end;
  end.QuadPart = opened.end;
  SetFilePointerEx(opened.handle.get(), end, nullptr, FILE_BEGIN);
  return opened;
}

}  // namespace mardonel
