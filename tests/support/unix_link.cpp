#include "support/unix_link.h"

#include <windows.h>

#include "common/win/win_owners.h"

namespace mardonel {

namespace {

// The Unix path of an existing Windows path; empty when it has none.
std::string UnixPathOf(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return {};
  WCHAR wide[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH) == 0) return {};
  // Wine's conversion allocates on the process heap.
  const unique_heap_text unixPath(toUnix(wide));
  return unixPath ? std::string(unixPath.get()) : std::string();
}

bool IsListed(const std::string& path) {
  WIN32_FIND_DATAA entry;
  return static_cast<bool>(unique_hfind(FindFirstFileA(path.c_str(), &entry)));
}

// The Unix path of a link's own entry: its folder's Unix path and its name,
// so that the link is never resolved.
std::string UnixEntryPathOf(const std::string& windowsPath) {
  const std::size_t cut = windowsPath.find_last_of('\\');
  if (cut == std::string::npos) return {};
  const std::string folder = UnixPathOf(windowsPath.substr(0, cut));
  return folder.empty() ? folder : folder + "/" + windowsPath.substr(cut + 1);
}

// Wine starts a Unix program given by its Z: path, but hands back no process
// handle to wait on: the caller awaits the program's effect instead.
bool StartUnixProgram(const char* program, std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  const unique_handle thread(process.hThread);
  const unique_handle started(process.hProcess);
  return true;
}

bool AwaitListed(const std::string& path, bool listed) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (IsListed(path) == listed) return true;
    Sleep(25);
  }
  return false;
}

}  // namespace

bool PlantUnixLink(const std::string& target, const std::string& link) {
  const std::string unixTarget = UnixPathOf(target);
  const std::string unixLink = UnixEntryPathOf(link);
  if (unixTarget.empty() || unixLink.empty()) return false;
  return StartUnixProgram("Z:\\bin\\ln", "ln -s -n \"" + unixTarget + "\" \"" + unixLink + "\"") &&
         AwaitListed(link, true);
}

bool RemoveUnixLink(const std::string& link) {
  const std::string unixLink = UnixEntryPathOf(link);
  if (unixLink.empty()) return false;
  return StartUnixProgram("Z:\\bin\\rm", "rm -f \"" + unixLink + "\"") && AwaitListed(link, false);
}

}  // namespace mardonel
