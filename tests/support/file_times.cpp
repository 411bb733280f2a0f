#include "support/file_times.h"

#include <cstdio>

namespace mardonel {

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeOf(std::uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return time;
}

std::uint64_t LocalNowFileTime() {
  FILETIME utc;
  FILETIME local;
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  return FileTimeValue(local);
}

std::string HistoryNameFor(const SYSTEMTIME& date) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02dT.mgt", date.wYear, date.wMonth, date.wDay);
  return name;
}

}  // namespace mardonel
