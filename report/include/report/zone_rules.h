// The local clock's offset from UTC as it changes, and the readings of a
// local time in real time. The records carry local wall-clock times without
// a zone; across a daylight-saving change only real time tells how long
// something lasted. Needs nothing of the platform.
#pragma once

#include <chrono>
#include <vector>

#include "common/time/time_points.h"

namespace mardonel {

// From `utcStart` on, the local clock reads UTC plus `offset`.
struct ZoneSegment {
  UtcSeconds utcStart;
  std::chrono::seconds offset;
};

class ZoneRules {
 public:
  // A local clock that reads UTC.
  ZoneRules();
  // `segments` in the order of their starts; the first one holds for all
  // time before it too. Empty: a local clock that reads UTC.
  explicit ZoneRules(std::vector<ZoneSegment> segments);

  // The local reading of a UTC second.
  [[nodiscard]] LocalSeconds LocalOf(UtcSeconds utc) const;

  // The UTC second at which the local clock read `local`: of two readings
  // (the repeated hour of a fall-back night) the first at or after
  // `notBefore`, else the later one; a local time the clock skipped is read
  // as the moment of the skip.
  [[nodiscard]] UtcSeconds UtcOf(LocalSeconds local, UtcSeconds notBefore) const;

 private:
  [[nodiscard]] LocalSeconds LocalStart(std::size_t segment) const;
  [[nodiscard]] LocalSeconds LocalEnd(std::size_t segment) const;

  std::vector<ZoneSegment> segments_;
};

}  // namespace mardonel
