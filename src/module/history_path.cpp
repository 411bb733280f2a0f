#include "module/history_path.h"

#include <shlwapi.h>

#include <cstring>

#include "module/history_folders.h"

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
