#include "common/log/log_file_name.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/fs/directory.h"
#include "log_device_name.h"

namespace mardonel {

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

}  // namespace

bool IsUsableLogFileName(std::string_view name) {
  if (name.empty() || name == "-") return true;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return IsFullPath(std::string(name).c_str()) && !NamesDevice(name);
}

void MakeDefaultLogFileName(char (&name)[kLogFileNameSize]) {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;

  const char* base = path + LastIndexOf(path, '\\') + 1;
  // A base name without an extension keeps its whole name.
  const int dot = LastIndexOf(base, '.');
  const int stemLength = dot >= 0 ? dot : static_cast<int>(std::strlen(base));
  char made[kLogFileNameSize];
  const int written = std::snprintf(made, sizeof made, "%s\\%.*s.log", kDefaultLogFolder, stemLength, base);
  if (written > 0 && written < static_cast<int>(sizeof made)) std::memcpy(name, made, sizeof made);
}

std::string LogFileNameFor(std::string_view name) {
  if (name == "-") return {};
  if (!name.empty() && IsUsableLogFileName(name)) return std::string(name);
  char made[kLogFileNameSize] = "";
  MakeDefaultLogFileName(made);
  return made;
}

}  // namespace mardonel
