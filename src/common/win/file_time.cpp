#include "common/win/file_time.h"

#include <cstdio>

namespace mardonel {

namespace {

constexpr std::size_t kTimeTextSize = 40;
char timeTextBuffers[2][kTimeTextSize];
int timeTextToggle = 0;

}  // namespace

std::uint64_t UtcNowFileTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FileTimeValue(now);
}

UtcInstant UtcNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return TimePointOf<UtcClock>(now);
}

char* LocalTimeText(char* buffer, std::size_t size, LocalReading local) {
  if (buffer == nullptr) {
    buffer = timeTextBuffers[timeTextToggle];
    timeTextToggle ^= 1;
    size = kTimeTextSize;
  }
  if (size == 0) return buffer;

  char date[20] = {};
  SYSTEMTIME time = {};
  bool haveTime = true;
  if (local == LocalReading()) {
    GetLocalTime(&time);
  } else {
    const FILETIME fileTime = FileTimeOf(local);
    haveTime = FileTimeToSystemTime(&fileTime, &time) != FALSE;
  }
  if (haveTime && GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date) == 0) {
    date[0] = '\0';
  }
  std::snprintf(buffer, size, "%s %02d:%02d:%02d", date, time.wHour, time.wMinute, time.wSecond);
  return buffer;
}

}  // namespace mardonel
