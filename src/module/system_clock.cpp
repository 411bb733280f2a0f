#include "common/win/file_time.h"
#include "module/clock.h"

namespace mardonel {

namespace {

class MachineClock final : public Clock {
 public:
  [[nodiscard]] std::uint64_t UtcNow() const override { return UtcNowFileTime(); }

  [[nodiscard]] std::optional<std::uint64_t> ToLocal(std::uint64_t utc) const override {
    const FILETIME time = FileTimeOf(utc);
    FILETIME local;
    if (!FileTimeToLocalFileTime(&time, &local)) return std::nullopt;
    return FileTimeValue(local);
  }
};

}  // namespace

const Clock& SystemClock() {
  static const MachineClock clock;
  return clock;
}

}  // namespace mardonel
