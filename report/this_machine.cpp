#include "report/this_machine.h"

#include <windows.h>

#include "report/local_days.h"

namespace mardonel {

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

std::string ComputerName(COMPUTER_NAME_FORMAT format) {
  wchar_t name[256] = {};
  DWORD size = sizeof name / sizeof name[0];
  return GetComputerNameExW(format, name, &size) ? Utf8(name) : std::string();
}

}  // namespace

std::string ComputerDnsName() {
  const std::string dns = ComputerName(ComputerNameDnsFullyQualified);
  return dns.empty() ? ComputerName(ComputerNameNetBIOS) : dns;
}

std::int64_t LocalNowSecond() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::int64_t day = DayNumber(CalendarDate{now.wYear, now.wMonth, now.wDay});
  return day * kSecondsPerDay + now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
}

}  // namespace mardonel
