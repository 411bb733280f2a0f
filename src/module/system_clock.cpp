#include "common/win/file_time.h"
#include "module/clock.h"

namespace mardonel {

namespace {

class MachineClock final : public Clock {
 public:
  [[nodiscard]] UtcInstant UtcNow() const override { return mardonel::UtcNow(); }

  [[nodiscard]] std::optional<LocalReading> ToLocal(UtcInstant utc) const override {
    const FILETIME time = FileTimeOf(utc);
    FILETIME local;
    if (!FileTimeToLocalFileTime(&time, &local)) return std::nullopt;
    return TimePointOf<LocalClock>(local);
  }
};

}  // namespace

const Clock& SystemClock() {
  static const MachineClock clock;
  return clock;
}

}  // namespace mardonel
