#include "host/utc_clock.h"

#include <cstdio>

namespace mardonel {

std::uint64_t UtcNowUnits() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

FILETIME ToFileTime(std::uint64_t units) {
  return FILETIME{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
}

std::string UtcText(std::uint64_t units) {
  const FILETIME time = ToFileTime(units);
  SYSTEMTIME parts;
  if (!FileTimeToSystemTime(&time, &parts)) return "?";
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u UTC", parts.wYear, parts.wMonth, parts.wDay,
                parts.wHour, parts.wMinute, parts.wSecond);
  return text;
}

}  // namespace mardonel
