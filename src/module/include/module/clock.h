// The module's one source of the time of day, so that tests can set it.
#pragma once

#include <optional>

#include "common/time/time_points.h"

namespace mardonel {

class Clock {
 public:
  virtual ~Clock() = default;

  // The current time, UTC.
  [[nodiscard]] virtual UtcInstant UtcNow() const = 0;

  // `utc` on the local wall clock, shifted by the zone's bias of this
  // moment, as FileTimeToLocalFileTime does; nothing when out of range.
  [[nodiscard]] virtual std::optional<LocalReading> ToLocal(UtcInstant utc) const = 0;

  // `utc` on the local wall clock; where the zone cannot give it, the UTC
  // count itself, as the module has always written then.
  [[nodiscard]] LocalReading LocalOf(UtcInstant utc) const {
    return ToLocal(utc).value_or(LocalReading(utc.time_since_epoch()));
  }

  [[nodiscard]] LocalReading LocalNow() const { return LocalOf(UtcNow()); }
};

// The machine's clock and zone.
const Clock& SystemClock();

}  // namespace mardonel
