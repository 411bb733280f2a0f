#include "history/path.h"

#include <utility>

#include "common/time/calendar.h"
#include "history/folder_chain.h"

namespace mardonel {

HistoryPath HistoryFilePathIn(const std::string& folder, UtcDays day) {
  char name[16] = {};
  if (!FormatHistoryDayName(name, sizeof name, DateOf(day))) return {folder, ERROR_FILENAME_EXCED_RANGE};
  std::string path = folder + name + kHistoryFileExtension;
  const DWORD error = path.size() < MAX_PATH ? ERROR_SUCCESS : ERROR_FILENAME_EXCED_RANGE;
  return {std::move(path), error};
}

HistoryPath GetHistoryFilePath(UtcInstant now) {
  const HistoryPath folder = HistoryFolderPath();
  if (folder.ok()) CreateHistoryFolders(folder.value());
  HistoryPath path = HistoryFilePathIn(folder.value(), std::chrono::floor<std::chrono::days>(now));
  // The name stays, with the folder's own failure.
  const DWORD pathStatus = path.status();
  return {std::move(path).value(), folder.ok() ? pathStatus : folder.status()};
}

}  // namespace mardonel
