#include "common/log/log_file_name.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "common/fs/directory.h"
#include "common/fs/file_identity.h"
#include "common/history/history_folder.h"
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

std::string FullPathOf(const std::string& path) {
  char full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// The log's rollover would rename and delete history files. A folder is
// told by its text and, once it exists, by its identity, so that a link, a
// short name or a share that reaches it counts too.
bool LiesInHistoryFolder(std::string_view name) {
  const HistoryPath history = HistoryFolderPath();
  if (!history.ok()) return false;
  std::string historyFolder = FullPathOf(history.value());
  while (!historyFolder.empty() && IsPathSeparator(historyFolder.back())) historyFolder.pop_back();
  const std::optional<FileIdentity> historyIdentity = IdentityOf(historyFolder.c_str());
  const std::string full = FullPathOf(std::string(name));
  for (std::size_t cut = full.find_last_of("\\/"); cut != std::string::npos && cut > 0;
       cut = full.find_last_of("\\/", cut - 1)) {
    const std::string folder = full.substr(0, cut);
    // A drive or a server alone is no folder of its own.
    if (folder.find_first_of("\\/", 2) == std::string::npos) break;
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folder.c_str(), -1, historyFolder.c_str(), -1) ==
        CSTR_EQUAL) {
      return true;
    }
    if (historyIdentity && IdentityOf(folder.c_str()) == historyIdentity) return true;
  }
  return false;
}

}  // namespace

bool IsUsableLogFileName(std::string_view name) {
  if (name.empty() || name == "-") return true;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return IsFullPath(std::string(name).c_str()) && !NamesNoPlainFile(name) && !LiesInHistoryFolder(name);
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
