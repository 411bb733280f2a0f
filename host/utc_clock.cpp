#include "utc_clock.h"

#include <cstdio>

namespace mardonel {

std::string UtcText(std::uint64_t units) {
  const FILETIME time = FileTimeOf(units);
  SYSTEMTIME parts;
  if (!FileTimeToSystemTime(&time, &parts)) return "?";
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u UTC", parts.wYear, parts.wMonth, parts.wDay,
                parts.wHour, parts.wMinute, parts.wSecond);
  return text;
}

}  // namespace mardonel
