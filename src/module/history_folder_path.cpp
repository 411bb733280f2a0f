// Apart from the history file paths, which make folders: the report finds
// the folder by these same rules without linking the rest of the module.
#include "module/history_path.h"

#include <shlwapi.h>
#include <userenv.h>

#include <cstring>

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
