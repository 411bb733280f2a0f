// The one stand-in for the module's clock: UTC now as the test sets it, and
// a zone whose bias is the same at every moment, as FileTimeToLocalFileTime
// applies the bias of the present to any time.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "module/clock.h"

namespace mardonel {

inline constexpr std::uint64_t kTestHour = 36000000000ULL;  // FILETIME units
// 6 December 2026 09:15:42.5, the time of the history record's worked example.
inline constexpr std::uint64_t kWorkedExampleTime = 134410221425000000ULL;

class FakeClock final : public Clock {
 public:
  explicit FakeClock(std::uint64_t utcNow = kWorkedExampleTime, int biasMinutes = 0)
      : now_(utcNow), bias_(static_cast<std::int64_t>(biasMinutes) * 600000000) {}

  UtcInstant UtcNow() const override { return UtcInstant(FileTimeUnits(now_)); }
  std::optional<LocalReading> ToLocal(UtcInstant time) const override {
    constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t utc = time.time_since_epoch().count();
    const auto shift = static_cast<std::uint64_t>(bias_ < 0 ? -bias_ : bias_);
    if (bias_ < 0 ? utc < shift : utc > kTop - shift) return std::nullopt;
    return LocalReading(FileTimeUnits(bias_ < 0 ? utc - shift : utc + shift));
  }

  void Set(std::uint64_t utcNow) { now_ = utcNow; }
  void Advance(std::uint64_t units) { now_ += units; }

 private:
  std::uint64_t now_;
  std::int64_t bias_;  // local minus UTC
};

}  // namespace mardonel
