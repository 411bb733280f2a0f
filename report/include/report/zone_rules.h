// The local clock's offset from UTC as it changes, and the readings of a
// local time in real time. The records carry local wall-clock times without
// a zone; across a daylight-saving change only real time tells how long
// something lasted. Needs nothing of the platform.
#pragma once

#include <cstdint>
#include <vector>

namespace mardonel {

// From `utcStart` on, the local clock reads UTC plus `offset` seconds.
struct ZoneSegment {
  std::int64_t utcStart;
  std::int32_t offset;
};

class ZoneRules {
 public:
  // A local clock that reads UTC.
  ZoneRules();
  // `segments` in the order of their starts; the first one holds for all
  // time before it too. Empty: a local clock that reads UTC.
  explicit ZoneRules(std::vector<ZoneSegment> segments);

  // The local reading of a UTC second.
  [[nodiscard]] std::int64_t LocalOf(std::int64_t utc) const;

  // The UTC second at which the local clock read `local`: of two readings
  // (the repeated hour of a fall-back night) the first at or after
  // `notBefore`, else the later one; a local time the clock skipped is read
  // as the moment of the skip.
  [[nodiscard]] std::int64_t UtcOf(std::int64_t local, std::int64_t notBefore) const;

 private:
  [[nodiscard]] std::int64_t LocalStart(std::size_t segment) const;
  [[nodiscard]] std::int64_t LocalEnd(std::size_t segment) const;

  std::vector<ZoneSegment> segments_;
};

}  // namespace mardonel
