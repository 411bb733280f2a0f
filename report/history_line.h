// One line of a history file read back: "<event time>,<state>,<reason>,<time
// text>". Needs nothing of the platform, so it also builds natively for
// fuzzing.
#pragma once

#include <cstdint>
#include <string_view>

#include "report/local_days.h"

namespace mardonel {

enum class RecordReason : std::uint8_t {
  kStartup,
  kShutdown,
  kSleep,
  kOutOfSuspend,
  kNetAdaptersChanged,
  kHeartbeat,
  kInitialised,
};

struct HistoryRecord {
  std::uint64_t eventTime;  // the FILETIME as written
  std::uint8_t state;       // 1 unmanaged, 2 managed
  RecordReason reason;

  // The event time in whole seconds of the local clock since 1601.
  std::int64_t second() const { return static_cast<std::int64_t>(eventTime / kFileTimeUnitsPerSecond); }
};

struct ParsedLine {
  bool ok = false;
  HistoryRecord record{};
  const char* why = "";  // what is wrong with the line when not ok
};

// `line` without its line end. A line torn by a failed write, foreign text,
// a state other than 1 or 2, an unknown reason, an event time outside the
// years 1601 to 9999, or a time text whose time of day is not the event
// time's, does not parse.
ParsedLine ParseHistoryLine(std::string_view line);

}  // namespace mardonel
