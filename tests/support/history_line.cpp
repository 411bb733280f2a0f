#include "support/history_line.h"

#include <windows.h>

#include <cstdio>

#include "support/file_times.h"

namespace mardonel {

std::string HistoryLine(std::uint64_t localTime, int state, const std::string& reason) {
  const FILETIME time = FileTimeOf(localTime);
  SYSTEMTIME parts;
  FileTimeToSystemTime(&time, &parts);
  char timeText[48];
  std::snprintf(timeText, sizeof timeText, "%u/%u/%u %02u:%02u:%02u", parts.wMonth, parts.wDay, parts.wYear,
                parts.wHour, parts.wMinute, parts.wSecond);
  return std::to_string(localTime) + "," + std::to_string(state) + "," + reason + "," + timeText + "\r\n";
}

}  // namespace mardonel
