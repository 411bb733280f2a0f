// What one history record holds: the module's state, why the record was
// written, and when. Needs nothing of the platform, so it also builds
// natively for fuzzing.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/time/time_points.h"

namespace mardonel {

// Written into every record as its number.
enum ManagedState : std::int32_t { kUnmanaged = 1, kManaged = 2 };

enum class RecordReason : std::uint8_t {
  kStartup,
  kShutdown,
  kSleep,
  kOutOfSuspend,
  kNetAdaptersChanged,
  kHeartbeat,
  kInitialised,
};

struct ReasonName {
  std::string_view text;  // as records store it
  RecordReason reason;
};

// Every reason with its stored text, the most frequent first.
inline constexpr ReasonName kReasonNames[] = {
    {"Heartbeat", RecordReason::kHeartbeat},         {"Startup", RecordReason::kStartup},
    {"Shutdown", RecordReason::kShutdown},           {"Sleep", RecordReason::kSleep},
    {"Out of suspend", RecordReason::kOutOfSuspend}, {"Net Adapters changed", RecordReason::kNetAdaptersChanged},
    {"INITIALISED", RecordReason::kInitialised},
};

// The stored text of `reason`.
[[nodiscard]] constexpr std::string_view ReasonText(RecordReason reason) {
  for (const ReasonName& name : kReasonNames) {
    if (name.reason == reason) return name.text;
  }
  return {};
}

inline constexpr std::int64_t kSecondsPerDay = 86400;
// 31 December 9999 23:59:59.9999999: the records' times lie in the years
// 1601 to 9999.
inline constexpr LocalReading kLastEventTime{FileTimeUnits(2650467743999999999ULL)};

struct HistoryRecord {
  LocalReading eventTime;  // written as its FILETIME count
  ManagedState state;
  RecordReason reason;

  // The event time in whole seconds of the local clock.
  [[nodiscard]] LocalSeconds second() const { return std::chrono::floor<std::chrono::seconds>(eventTime); }
};

}  // namespace mardonel
