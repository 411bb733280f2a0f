#include "module/history_path.h"

#include <shlwapi.h>
#include <userenv.h>

#include <cstring>

#include "module/history_folders.h"

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

HistoryPath HistoryFilePathFor(const CalendarDate& date) {
  HistoryPath folderPath = HistoryFolderPath();
  char name[16] = {};
  FormatHistoryDayName(name, sizeof name, date);
  if (folderPath.error != ERROR_SUCCESS) return {folderPath.text + name + kHistoryFileExtension, folderPath.error};

  char path[MAX_PATH] = {};
  std::memcpy(path, folderPath.text.c_str(), folderPath.text.size() + 1);
  CreateHistoryFolders(path);
  const std::size_t fullLength = std::strlen(path) + std::strlen(name) + sizeof kHistoryFileExtension;
  if (!PathAppendA(path, name) || fullLength > MAX_PATH) {
    return {folderPath.text + name + kHistoryFileExtension, ERROR_FILENAME_EXCED_RANGE};
  }
  std::strcat(path, kHistoryFileExtension);
  return {path, ERROR_SUCCESS};
}

HistoryPath GetHistoryFilePath() {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  return HistoryFilePathFor(CalendarDate{utc.wYear, utc.wMonth, utc.wDay});
}
