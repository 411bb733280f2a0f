// One line of a history file read back: "<event time>,<state>,<reason>,<time
// text>". Needs nothing of the platform, so it also builds natively for
// fuzzing.
#pragma once

#include <cstdint>
#include <string_view>

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
  std::int64_t second;      // event time in whole seconds of the local clock since 1601
  std::uint64_t eventTime;  // the FILETIME as written
  std::uint32_t lineHash;   // tells lines of the same event time apart
  std::uint8_t state;       // 1 unmanaged, 2 managed
  RecordReason reason;
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
