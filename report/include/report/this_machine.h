// What the report needs to know of the machine it runs on.
#pragma once

#include <string>
#include <vector>

#include "common/history/history_record.h"
#include "common/time/time_points.h"
#include "common/win/with_status.h"
#include "report/zone_rules.h"

namespace mardonel {

// The machine's fully qualified DNS name in UTF-8; its NetBIOS name when it
// has none.
std::string ComputerDnsName();

// Now: the local wall clock's today, and the UTC second.
LocalDays LocalToday();
UtcSeconds UtcNowSecond();

// Local days from `first` to `last`, both included.
struct DaySpan {
  LocalDays first;
  LocalDays last;
};

// The machine's zone rules wherever the days `days` and the event times of
// `records` lie, however far apart: each time is read with the offset in
// force then. Between and around them an offset of the nearest one holds,
// and before 2 January 1601 that of its first second. A year whose own rules the
// platform cannot give takes the zone's standard and daylight rules. The
// status is the platform's error when those cannot be had either.
WithStatus<ZoneRules> MachineZone(DaySpan days, const std::vector<HistoryRecord>& records = {});

}  // namespace mardonel
