#include <windows.h>

#include "module/clock.h"

namespace mardonel {

namespace {

std::uint64_t ValueOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class MachineClock final : public Clock {
 public:
  [[nodiscard]] std::uint64_t UtcNow() const override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ValueOf(now);
  }

  [[nodiscard]] std::optional<std::uint64_t> ToLocal(std::uint64_t utc) const override {
    const FILETIME time{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
    FILETIME local;
    if (!FileTimeToLocalFileTime(&time, &local)) return std::nullopt;
    return ValueOf(local);
  }
};

}  // namespace

const Clock& SystemClock() {
  static const MachineClock clock;
  return clock;
}

}  // namespace mardonel
