#include "common/history/history_folder.h"

#include <shlwapi.h>
#include <userenv.h>

#include <cstring>

namespace mardonel {

std::string AllUsersProfileFolder() {
  char folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  if (GetAllUsersProfileDirectoryA(folder, &size) && folder[0] != '\0') return folder;
  const DWORD length = GetEnvironmentVariableA("ALLUSERSPROFILE", folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return {};
  return folder;
}

HistoryPath HistoryFolderPath() {
  const std::string profile = AllUsersProfileFolder();
  if (profile.empty()) return {kStatesSubfolder, ERROR_PATH_NOT_FOUND};
  char folder[MAX_PATH] = {};
  std::memcpy(folder, profile.c_str(), profile.size() + 1);
  if (!PathAppendA(folder, kStatesSubfolder)) return {profile + kStatesSubfolder, ERROR_FILENAME_EXCED_RANGE};
  return {folder, ERROR_SUCCESS};
}

}  // namespace mardonel
