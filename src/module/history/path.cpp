#include "history/path.h"

#include <utility>

#include "common/win/file_time.h"
#include "history/folder_chain.h"

namespace mardonel {

HistoryPath HistoryFilePathIn(const std::string& folder, const CalendarDate& date) {
  char name[16] = {};
  if (!FormatHistoryDayName(name, sizeof name, date)) return {folder, ERROR_FILENAME_EXCED_RANGE};
  std::string path = folder + name + kHistoryFileExtension;
  const DWORD error = path.size() < MAX_PATH ? ERROR_SUCCESS : ERROR_FILENAME_EXCED_RANGE;
  return {std::move(path), error};
}

HistoryPath HistoryFilePathFor(const CalendarDate& date) {
  const HistoryPath folder = HistoryFolderPath();
  if (folder.ok()) CreateHistoryFolders(folder.value());
  HistoryPath path = HistoryFilePathIn(folder.value(), date);
  // The name stays, with the folder's own failure.
  const DWORD pathStatus = path.status();
  return {std::move(path).value(), folder.ok() ? pathStatus : folder.status()};
}

HistoryPath GetHistoryFilePath(std::uint64_t utcNow) { return HistoryFilePathFor(DateOf(utcNow)); }

CalendarDate DateOf(std::uint64_t time) {
  const FILETIME value = FileTimeOf(time);
  SYSTEMTIME parts = {};
  FileTimeToSystemTime(&value, &parts);
  return CalendarDate{parts.wYear, parts.wMonth, parts.wDay};
}

}  // namespace mardonel
