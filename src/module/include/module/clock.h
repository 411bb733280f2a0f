// The module's one source of the time of day, so that tests can set it.
#pragma once

#include <cstdint>
#include <optional>

namespace mardonel {

// FILETIME counts: 100-nanosecond intervals since 1 January 1601.
class Clock {
 public:
  virtual ~Clock() = default;

  // The current time, UTC.
  [[nodiscard]] virtual std::uint64_t UtcNow() const = 0;

  // `utc` as local wall-clock time, shifted by the zone's bias of this
  // moment, as FileTimeToLocalFileTime does; nothing when out of range.
  [[nodiscard]] virtual std::optional<std::uint64_t> ToLocal(std::uint64_t utc) const = 0;

  // The current local time; UTC when the conversion fails.
  [[nodiscard]] std::uint64_t LocalNow() const {
    const std::uint64_t utc = UtcNow();
    return ToLocal(utc).value_or(utc);
  }
};

// The machine's clock and zone.
const Clock& SystemClock();

}  // namespace mardonel
