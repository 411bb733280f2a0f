// Building one log record: stamp, indentation, truncation marker, CR LF.
// Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstdarg>
#include <cstdint>

namespace mardonel {

// What one record leaves for the next: how to indent an unstamped line.
struct LogStampState {
  bool stampSeen = false;      // a record has begun with "%T"
  int stampLength = 19;        // length of the last stamp text
  bool lineContinues = false;  // the last record did not end with a line feed
  // The stamp's local FILETIME; null stands for the machine's clock. Tests
  // set it, so that stamps differ without waiting for the clock.
  std::uint64_t (*localNow)() = nullptr;
};

inline constexpr int kLogRecordSize = 3000;
inline constexpr int kMinimumRecordSize = 9;

// Builds the record for `format` in `buffer` (bytes 0 and 1 are CR LF, the
// text starts at byte 2) and returns its length from byte 0. `stamp` is the
// text that a leading "%T" expands to; `state` is read and updated. A `size`
// below kMinimumRecordSize gives the empty record "\r\n" (or, below 3, an
// empty text and 0).
int ComposeLogRecord(LogStampState& state, char* buffer, int size, const char* format, va_list args, const char* stamp);

}  // namespace mardonel
