#include "agent_files.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/log/log_file_name.h"
#include "common/registry/setting_names.h"
#include "common/win/text_conversion.h"
#include "common/win/win_owners.h"

namespace mardonel {

namespace {

// True when the key holds the value; `text` then has it as the module takes
// it: a REG_EXPAND_SZ expanded, and empty (the default name) when it is no
// text or does not fit the module's buffer.
bool ReadLogFileName(const char* keyName, std::string& text) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  const unique_hkey key(opened);
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), kLogFileNameValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  std::vector<char> stored(static_cast<std::size_t>(size) + 1, '\0');
  text.clear();
  if (RegQueryValueExA(key.get(), kLogFileNameValue, nullptr, nullptr, reinterpret_cast<BYTE*>(stored.data()), &size) !=
      ERROR_SUCCESS) {
    return true;
  }
  char taken[kLogFileNameSize] = "";
  if (type == REG_SZ && size <= sizeof taken) std::strncpy(taken, stored.data(), sizeof taken - 1);
  if (type == REG_EXPAND_SZ && ExpandEnvironmentStringsA(stored.data(), taken, sizeof taken) > sizeof taken) {
    taken[0] = '\0';
  }
  text = taken;
  return true;
}

}  // namespace

std::string LogFilePath() {
  std::string name;
  if (!ReadLogFileName(PolicyKeyOf(kSettingsKey).c_str(), name)) ReadLogFileName(kSettingsKey, name);
  return LogFileNameFor(name);
}

std::string UnixPathOf(const std::string& windowsPath) {
  using UnixFileNameFunction = char*(CDECL*)(const WCHAR*);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto unixFileName = reinterpret_cast<UnixFileNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return {};
  // Wine's own call takes a wide path.
  std::wstring wide;
  if (AnsiToWide(windowsPath.c_str(), CP_ACP, wide) != ERROR_SUCCESS) return {};
  const unique_heap_text unixPath(unixFileName(wide.c_str()));
  return unixPath ? std::string(unixPath.get()) : std::string();
}

}  // namespace mardonel
