#include "common/log/log_file.h"

#include <cstdio>
#include <cstring>

#include "common/fs/directory.h"
#include "common/log/error_text.h"
#include "common/log/log_console.h"
#include "common/log/log_settings.h"

namespace {

constexpr char kDefaultLogFolder[] = "C:\\temp";

// Where the last `wanted` character of `text` stands that is not the trail
// byte of a double-byte character; -1 when there is none.
int LastIndexOf(const char* text, char wanted) {
  int found = -1;
  for (const char* cursor = text; *cursor != '\0'; cursor = CharNextA(cursor)) {
    if (*cursor == wanted) found = static_cast<int>(cursor - text);
  }
  return found;
}

unique_hfile OpenLogFileWith(DWORD disposition) {
  return AdoptFileHandle(CreateFileA(LogFileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

void CreateLogFolder() {
  char folder[kLogFileNameSize];
  std::memcpy(folder, LogFileName, sizeof folder);
  folder[sizeof folder - 1] = '\0';
  const int separator = LastIndexOf(folder, '\\');
  if (separator < 0) return;
  folder[separator] = '\0';
  CreateDirectoryPath(folder);
}

}  // namespace

void EnsureLogFileName() {
  if (LogFileName[0] != '\0') return;
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;

  const char* base = path + LastIndexOf(path, '\\') + 1;
  // A base name without an extension keeps its whole name.
  const int dot = LastIndexOf(base, '.');
  const int stemLength = dot >= 0 ? dot : static_cast<int>(std::strlen(base));
  char name[kLogFileNameSize];
  const int written = std::snprintf(name, sizeof name, "%s\\%.*s.log", kDefaultLogFolder, stemLength, base);
  if (written > 0 && written < static_cast<int>(sizeof name)) std::memcpy(LogFileName, name, sizeof name);
}

bool IsConsoleOnlyLog() { return LogFileName[0] == '-' && LogFileName[1] == '\0'; }

unique_hfile OpenLogFile() {
  EnsureLogFileName();
  if (LogFileName[0] == '\0' || IsConsoleOnlyLog()) return {};

  unique_hfile file = OpenLogFileWith(OPEN_EXISTING);
  if (!file) {
    // In use: the record waits in the queue for a later call.
    if (GetLastError() == ERROR_SHARING_VIOLATION) return {};
    CreateLogFolder();
    file = OpenLogFileWith(OPEN_ALWAYS);
    if (!file) {
      const char* text = ErrorText(0);
      WriteLogConsole(text, std::strlen(text));
      return {};
    }
  }
  SetFilePointer(file.get(), 0, nullptr, FILE_END);
  return file;
}
