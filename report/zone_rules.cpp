#include "report/zone_rules.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace mardonel {

namespace {

constexpr std::int64_t kBefore = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kAfter = std::numeric_limits<std::int64_t>::max();

}  // namespace

ZoneRules::ZoneRules() : segments_{{kBefore, 0}} {}

ZoneRules::ZoneRules(std::vector<ZoneSegment> segments) : segments_(std::move(segments)) {
  if (segments_.empty()) segments_.push_back({kBefore, 0});
  segments_.front().utcStart = kBefore;
}

std::int64_t ZoneRules::LocalStart(std::size_t segment) const {
  return segment == 0 ? kBefore : segments_[segment].utcStart + segments_[segment].offset;
}

std::int64_t ZoneRules::LocalEnd(std::size_t segment) const {
  return segment + 1 == segments_.size() ? kAfter : segments_[segment + 1].utcStart + segments_[segment].offset;
}

std::int64_t ZoneRules::LocalOf(std::int64_t utc) const {
  const auto after = std::upper_bound(segments_.begin() + 1, segments_.end(), utc,
                                      [](std::int64_t value, const ZoneSegment& s) { return value < s.utcStart; });
  return utc + (after - 1)->offset;
}

std::int64_t ZoneRules::UtcOf(std::int64_t local, std::int64_t notBefore) const {
  if (segments_.size() == 1) return local - segments_.front().offset;
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
  std::int64_t earliest = kAfter;
  std::int64_t latest = kBefore;
  std::int64_t kept = kAfter;
  for (std::size_t segment = last + 1; segment-- > 0;) {
    if (segment != last && LocalEnd(segment) <= local) break;
    if (local >= LocalEnd(segment)) continue;
    const std::int64_t utc = local - segments_[segment].offset;
    earliest = std::min(earliest, utc);
    latest = std::max(latest, utc);
    if (utc >= notBefore) kept = std::min(kept, utc);
  }
  if (earliest == kAfter) return segments_[last + 1].utcStart;
  return kept != kAfter ? kept : latest;
}

}  // namespace mardonel
