// What the report needs to know of the machine it runs on.
#pragma once

#include <cstdint>
#include <string>

#include "report/zone_rules.h"

namespace mardonel {

// The machine's fully qualified DNS name in UTF-8; its NetBIOS name when it
// has none.
std::string ComputerDnsName();

// Now, in seconds since 1601: by the local wall clock, and in UTC.
std::int64_t LocalNowSecond();
std::int64_t UtcNowSecond();

// The machine's zone rules from `fromUtc` to `toUtc` (seconds since 1601),
// found by asking the platform for the local time; before and after, the
// offsets at the two ends hold.
ZoneRules MachineZone(std::int64_t fromUtc, std::int64_t toUtc);

}  // namespace mardonel
