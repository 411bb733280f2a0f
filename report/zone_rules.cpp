#include "report/zone_rules.h"

#include <algorithm>
#include <utility>

namespace mardonel {

namespace {

// The one crossing between the clocks: a segment's offset.
LocalSeconds Reading(UtcSeconds utc, std::chrono::seconds offset) {
  return LocalSeconds(utc.time_since_epoch() + offset);
}

UtcSeconds Instant(LocalSeconds local, std::chrono::seconds offset) {
  return UtcSeconds(local.time_since_epoch() - offset);
}

}  // namespace

ZoneRules::ZoneRules() : segments_{{UtcSeconds::min(), std::chrono::seconds(0)}} {}

ZoneRules::ZoneRules(std::vector<ZoneSegment> segments) : segments_(std::move(segments)) {
  if (segments_.empty()) segments_.push_back({UtcSeconds::min(), std::chrono::seconds(0)});
  segments_.front().utcStart = UtcSeconds::min();
}

LocalSeconds ZoneRules::LocalStart(std::size_t segment) const {
  return segment == 0 ? LocalSeconds::min() : Reading(segments_[segment].utcStart, segments_[segment].offset);
}

LocalSeconds ZoneRules::LocalEnd(std::size_t segment) const {
  return segment + 1 == segments_.size() ? LocalSeconds::max()
                                         : Reading(segments_[segment + 1].utcStart, segments_[segment].offset);
}

LocalSeconds ZoneRules::LocalOf(UtcSeconds utc) const {
  const auto after = std::upper_bound(segments_.begin() + 1, segments_.end(), utc,
                                      [](UtcSeconds value, const ZoneSegment& s) { return value < s.utcStart; });
  return Reading(utc, (after - 1)->offset);
}

UtcSeconds ZoneRules::UtcOf(LocalSeconds local, UtcSeconds notBefore) const {
  if (segments_.size() == 1) return Instant(local, segments_.front().offset);
  // The last segment whose local readings start at or before `local`; only
  // it and those just before it, reaching past a fall-back, can hold it.
  std::size_t last = 0;
  for (std::size_t low = 1, high = segments_.size(); low < high;) {
    const std::size_t middle = low + (high - low) / 2;
    if (LocalStart(middle) <= local) {
      last = middle;
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  UtcSeconds earliest = UtcSeconds::max();
  UtcSeconds latest = UtcSeconds::min();
  UtcSeconds kept = UtcSeconds::max();
  for (std::size_t segment = last + 1; segment-- > 0;) {
    if (segment != last && LocalEnd(segment) <= local) break;
    if (local >= LocalEnd(segment)) continue;
    const UtcSeconds utc = Instant(local, segments_[segment].offset);
    earliest = std::min(earliest, utc);
    latest = std::max(latest, utc);
    if (utc >= notBefore) kept = std::min(kept, utc);
  }
  if (earliest == UtcSeconds::max()) return segments_[last + 1].utcStart;
  return kept != UtcSeconds::max() ? kept : latest;
}

}  // namespace mardonel
