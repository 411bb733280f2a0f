#include "host/agent_files.h"

#include <windows.h>

#include <vector>

#include "common/registry/setting_names.h"
#include "common/win/win_owners.h"

namespace mardonel {

namespace {

// true when the key holds the value; `text` then has it as far as it is text.
bool ReadTextValue(const char* keyName, const char* valueName, std::string& text) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  const unique_hkey key(opened);
  char buffer[MAX_PATH + 1] = {};
  DWORD type = 0;
  DWORD size = MAX_PATH;
  const LSTATUS status = RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (status == ERROR_FILE_NOT_FOUND) return false;
  text = status == ERROR_SUCCESS && type == REG_SZ ? buffer : "";
  return true;
}

std::string ProgramBaseName() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string full(path, length < sizeof path ? length : 0);
  return full.substr(full.find_last_of('\\') + 1);
}

}  // namespace

std::string LogFilePath() {
  std::string name;
  if (!ReadTextValue(kPolicySettingsKey, kLogFileNameValue, name)) ReadTextValue(kSettingsKey, kLogFileNameValue, name);
  if (name == "-") return {};
  if (!name.empty()) return name;
  const std::string base = ProgramBaseName();
  const std::size_t dot = base.find_last_of('.');
  if (dot == std::string::npos) return {};
  return "C:\\temp\\" + base.substr(0, dot) + ".log";
}

std::string UnixPathOf(const std::string& windowsPath) {
  using UnixFileNameFunction = char*(CDECL*)(const WCHAR*);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto unixFileName = reinterpret_cast<UnixFileNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return {};
  // Wine's own call takes a wide path.
  const int length = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::vector<WCHAR> wide(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), length);
  const unique_heap_text unixPath(unixFileName(wide.data()));
  return unixPath ? std::string(unixPath.get()) : std::string();
}

}  // namespace mardonel
