#include "report/this_machine.h"

#include <windows.h>

#include <algorithm>
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
// platform reads them from the registry each time. A year whose own rules it
// cannot give (Wine has none for some zones; on Windows a zone whose dynamic
// rules are missing) takes the zone's standard and daylight rules: read as
// UTC, the records of the last hours would lie after now.
class ZoneOffsets {
 public:
  std::optional<std::int32_t> At(std::int64_t utc) {
    const FILETIME time = FileTimeOf(static_cast<std::uint64_t>(utc) * kFileTimeUnitsPerSecond);
    SYSTEMTIME utcParts;
    SYSTEMTIME localParts;
    FILETIME local;
    const TIME_ZONE_INFORMATION* rules = nullptr;
    if (!FileTimeToSystemTime(&time, &utcParts) || (rules = RulesOf(utcParts.wYear)) == nullptr ||
        !SystemTimeToTzSpecificLocalTime(rules, &utcParts, &localParts) || !SystemTimeToFileTime(&localParts, &local)) {
      const DWORD error = GetLastError();
      error_ = error != ERROR_SUCCESS ? error : ERROR_INVALID_DATA;
      return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::int64_t>(FileTimeValue(local) / kFileTimeUnitsPerSecond) - utc);
  }

  [[nodiscard]] DWORD error() const { return error_; }

 private:
  const TIME_ZONE_INFORMATION* RulesOf(WORD year) {
    auto found = years_.find(year);
    if (found == years_.end()) {
      TIME_ZONE_INFORMATION rules{};
      if (!GetTimeZoneInformationForYear(year, nullptr, &rules) &&
          GetTimeZoneInformation(&rules) == TIME_ZONE_ID_INVALID) {
        return nullptr;
      }
      found = years_.emplace(year, rules).first;
    }
    return &found->second;
  }

  std::map<WORD, TIME_ZONE_INFORMATION> years_;
  DWORD error_ = ERROR_SUCCESS;
};

// The UTC seconds whose local readings can fall on the days asked for or the
// records' days, in order, overlaps merged. No zone is more than a day from
// UTC. West of it, the first hours of 1601 have no local reading the
// platform can write: the zone is asked from the second day on.
std::vector<std::pair<std::int64_t, std::int64_t>> UtcSpans(DaySpan days, const std::vector<HistoryRecord>& records) {
  std::vector<DaySpan> spans{days};
  for (const HistoryRecord& record : records) {
    const std::int64_t day = record.second() / kSecondsPerDay;
    if (spans.back().first != day) spans.push_back({day, day});
  }
  std::sort(spans.begin(), spans.end(), [](const DaySpan& a, const DaySpan& b) { return a.first < b.first; });
  std::vector<std::pair<std::int64_t, std::int64_t>> utc;
  for (const DaySpan& span : spans) {
    const std::int64_t from = std::max((span.first - 1) * kSecondsPerDay, kSecondsPerDay);
    const std::int64_t to = (span.last + 2) * kSecondsPerDay;
    if (!utc.empty() && from <= utc.back().second) {
      utc.back().second = std::max(utc.back().second, to);
    } else {
      utc.emplace_back(from, to);
    }
  }
  return utc;
}

}  // namespace

std::string ComputerDnsName() {
  const std::string dns = ComputerName(ComputerNameDnsFullyQualified);
  return dns.empty() ? ComputerName(ComputerNameNetBIOS) : dns;
}

std::int64_t UtcNowSecond() { return static_cast<std::int64_t>(UtcNowFileTime() / kFileTimeUnitsPerSecond); }

WithStatus<ZoneRules> MachineZone(DaySpan days, const std::vector<HistoryRecord>& records) {
  // Zones change their offset at most a few times a year, never twice
  // within six hours.
  constexpr std::int64_t kStep = std::int64_t{6} * 3600;
  ZoneOffsets offsets;
  std::vector<ZoneSegment> segments;
  std::int64_t asked = 0;  // the last second probed
  for (const auto& [from, to] : UtcSpans(days, records)) {
    for (std::int64_t probe = from;; probe = std::min(probe + kStep, to)) {
      const std::optional<std::int32_t> offset = offsets.At(probe);
      if (!offset) return {ZoneRules(), offsets.error()};
      if (segments.empty() || *offset != segments.back().offset) {
        // Probed within a step: the change lies in (asked, probe], and its
        // first second is found. Between spans, where no time is read,
        // the new offset starts at the probe.
        std::int64_t before = !segments.empty() && probe - asked <= kStep ? asked : probe - 1;
        std::int64_t after = probe;
        while (after - before > 1) {
          const std::int64_t middle = before + (after - before) / 2;
          const std::optional<std::int32_t> there = offsets.At(middle);
          if (!there) return {ZoneRules(), offsets.error()};
          (*there == *offset ? after : before) = middle;
        }
        segments.push_back(ZoneSegment{after, *offset});
      }
      asked = probe;
      if (probe == to) break;
    }
  }
  return {ZoneRules(std::move(segments)), ERROR_SUCCESS};
}

std::int64_t LocalNowSecond() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::int64_t day = DayNumber(CalendarDate{now.wYear, now.wMonth, now.wDay});
  return day * kSecondsPerDay + (now.wHour * 3600 + now.wMinute * 60 + now.wSecond);
}

}  // namespace mardonel
