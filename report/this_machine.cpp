#include "report/this_machine.h"

#include <windows.h>

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "common/win/file_time.h"
#include "report/local_days.h"
#include "wide_text.h"

namespace mardonel {

namespace {

std::string ComputerName(COMPUTER_NAME_FORMAT format) {
  wchar_t name[256] = {};
  DWORD size = sizeof name / sizeof name[0];
  return GetComputerNameExW(format, name, &size) ? Utf8Of(name) : std::string();
}

// Local minus UTC by the machine's zone rules, asked once a year: the
// platform reads them from the registry each time.
class ZoneOffsets {
 public:
  std::int32_t At(std::int64_t utc) {
    const std::uint64_t value = static_cast<std::uint64_t>(utc) * kFileTimeUnitsPerSecond;
    const FILETIME time = FileTimeOf(value);
    SYSTEMTIME utcParts;
    SYSTEMTIME localParts;
    FILETIME local;
    if (!FileTimeToSystemTime(&time, &utcParts)) return 0;
    const TIME_ZONE_INFORMATION* rules = RulesOf(utcParts.wYear);
    if (rules == nullptr || !SystemTimeToTzSpecificLocalTime(rules, &utcParts, &localParts) ||
        !SystemTimeToFileTime(&localParts, &local)) {
      return 0;
    }
    return static_cast<std::int32_t>(static_cast<std::int64_t>(FileTimeValue(local) / kFileTimeUnitsPerSecond) - utc);
  }

 private:
  const TIME_ZONE_INFORMATION* RulesOf(WORD year) {
    auto found = years_.find(year);
    if (found == years_.end()) {
      TIME_ZONE_INFORMATION rules{};
      const bool known = GetTimeZoneInformationForYear(year, nullptr, &rules) != FALSE;
      found = years_.emplace(year, known ? std::optional(rules) : std::nullopt).first;
    }
    return found->second ? &*found->second : nullptr;
  }

  std::map<WORD, std::optional<TIME_ZONE_INFORMATION>> years_;
};

}  // namespace

std::string ComputerDnsName() {
  const std::string dns = ComputerName(ComputerNameDnsFullyQualified);
  return dns.empty() ? ComputerName(ComputerNameNetBIOS) : dns;
}

std::int64_t UtcNowSecond() { return static_cast<std::int64_t>(UtcNowFileTime() / kFileTimeUnitsPerSecond); }

ZoneRules MachineZone(std::int64_t fromUtc, std::int64_t toUtc) {
  // Zones change their offset at most a few times a year, never twice
  // within six hours.
  constexpr std::int64_t kStep = std::int64_t{6} * 3600;
  ZoneOffsets offsets;
  std::vector<ZoneSegment> segments{{fromUtc, offsets.At(fromUtc)}};
  for (std::int64_t probe = fromUtc + kStep; probe - kStep < toUtc; probe += kStep) {
    const std::int32_t offset = offsets.At(probe);
    if (offset == segments.back().offset) continue;
    // The change lies in (probe - kStep, probe]: its first second.
    std::int64_t before = probe - kStep;
    std::int64_t after = probe;
    while (after - before > 1) {
      const std::int64_t middle = before + (after - before) / 2;
      (offsets.At(middle) == offset ? after : before) = middle;
    }
    segments.push_back(ZoneSegment{after, offset});
  }
  return ZoneRules(std::move(segments));
}

std::int64_t LocalNowSecond() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::int64_t day = DayNumber(CalendarDate{now.wYear, now.wMonth, now.wDay});
  return day * kSecondsPerDay + (now.wHour * 3600 + now.wMinute * 60 + now.wSecond);
}

}  // namespace mardonel
