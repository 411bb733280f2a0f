#include "support/file_times.h"

#include <cstdio>

namespace mardonel {

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
