// The answer of daily-share as a picture, one column a day: above, the share
// of running time that was managed; below, the machines that reported, those
// with managed time at the foot. Drawn as the report's own picture is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mardonel::fleet {

struct ShareDay {
  std::string day;  // YYYY-MM-DD
  std::int64_t machines = 0;
  std::int64_t managedMachines = 0;
  std::int64_t managedSeconds = 0;
  std::int64_t unmanagedSeconds = 0;
};

// A self-contained SVG 1.1 document. Each day is a group with the id
// "day-YYYY-MM-DD".
[[nodiscard]] std::string DailyShareSvg(const std::vector<ShareDay>& days);

}  // namespace mardonel::fleet
