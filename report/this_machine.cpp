#include "report/this_machine.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "common/time/calendar.h"
#include "common/win/file_time.h"
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
  std::optional<std::chrono::seconds> At(UtcSeconds utc) {
    const FILETIME time = FileTimeOf(UtcInstant(utc));
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
    // Both readings of one moment, in whole seconds: their difference is the offset.
    const LocalSeconds reading = std::chrono::floor<std::chrono::seconds>(TimePointOf<LocalClock>(local));
    return reading.time_since_epoch() - utc.time_since_epoch();
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
std::vector<std::pair<UtcSeconds, UtcSeconds>> UtcSpans(DaySpan days, const std::vector<HistoryRecord>& records) {
  std::vector<DaySpan> spans{days};
  for (const HistoryRecord& record : records) {
    const LocalDays day = std::chrono::floor<std::chrono::days>(record.second());
    if (spans.back().first != day) spans.push_back({day, day});
  }
  std::sort(spans.begin(), spans.end(), [](const DaySpan& a, const DaySpan& b) { return a.first < b.first; });
  // A bound, not a reading: local days a day wider on each side.
  const auto utcDay = [](LocalDays day) { return UtcSeconds(day.time_since_epoch()); };
  const UtcSeconds secondDay = UtcSeconds(std::chrono::days(1));
  std::vector<std::pair<UtcSeconds, UtcSeconds>> utc;
  for (const DaySpan& span : spans) {
    const UtcSeconds from = std::max(utcDay(span.first - std::chrono::days(1)), secondDay);
    const UtcSeconds to = utcDay(span.last + std::chrono::days(2));
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

UtcSeconds UtcNowSecond() { return std::chrono::floor<std::chrono::seconds>(UtcNow()); }

WithStatus<ZoneRules> MachineZone(DaySpan days, const std::vector<HistoryRecord>& records) {
  // Zones change their offset at most a few times a year, never twice
  // within six hours.
  constexpr std::chrono::seconds kStep = std::chrono::hours(6);
  ZoneOffsets offsets;
  std::vector<ZoneSegment> segments;
  UtcSeconds asked;  // the last second probed
  for (const auto& [from, to] : UtcSpans(days, records)) {
    for (UtcSeconds probe = from;; probe = std::min(probe + kStep, to)) {
      const std::optional<std::chrono::seconds> offset = offsets.At(probe);
      if (!offset) return {ZoneRules(), offsets.error()};
      if (segments.empty() || *offset != segments.back().offset) {
        // Probed within a step: the change lies in (asked, probe], and its
        // first second is found. Between spans, where no time is read,
        // the new offset starts at the probe.
        UtcSeconds before = !segments.empty() && probe - asked <= kStep ? asked : probe - std::chrono::seconds(1);
        UtcSeconds after = probe;
        while (after - before > std::chrono::seconds(1)) {
          const UtcSeconds middle = before + (after - before) / 2;
          const std::optional<std::chrono::seconds> there = offsets.At(middle);
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

LocalDays LocalToday() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DayOf<LocalClock>(CalendarDate{now.wYear, now.wMonth, now.wDay});
}

}  // namespace mardonel
