#include "log_record.h"

#include <cstdio>
#include <cstring>

namespace mardonel {

namespace {

constexpr char kTruncationMarker[] = "...\r\n";

bool StartsWithStamp(const char* format) { return format[0] == '%' && format[1] == 'T'; }

// Writes the indentation that lines an unstamped line up under stamped text.
int WriteIndentation(int stampLength, char* out, int space) {
  char indentFormat[24] = "%19.19s  ";
  if (stampLength < 24) std::snprintf(indentFormat, sizeof indentFormat, "%%%d.%ds  ", stampLength, stampLength);
  const int written = std::snprintf(out, static_cast<size_t>(space) + 1, indentFormat, " ");
  if (written < 0) return 0;
  return written < space ? written : space;
}

}  // namespace

int ComposeLogRecord(LogStampState& state, char* buffer, int size, const char* format, va_list args,
                     const char* stamp) {
  if (size < 3) {
    if (size > 0) buffer[0] = '\0';
    return 0;
  }
  buffer[0] = '\r';
  buffer[1] = '\n';
  buffer[2] = '\0';
  // A smaller buffer could not keep a cut record's marker, the marker's
  // extra CR and the terminator behind the leading CR LF.
  if (size < kMinimumRecordSize) return 2;
  const int limit = size - 1;
  int pos = 2;
  int body = 0;
  bool cut = false;

  // A body that fills the space exactly leaves no room for CR LF and the
  // terminator, so it counts as cut too.
  auto formatBody = [&](const char* text) {
    const int space = limit - pos;
    const int n = std::vsnprintf(buffer + pos, static_cast<size_t>(space) + 1, text, args);
    if (n < 0) {
      buffer[pos] = '\0';  // a format that cannot be expanded leaves no body
    } else if (n >= space) {
      cut = true;
    } else {
      body = n;
    }
  };

  if (StartsWithStamp(format)) {
    state.stampSeen = true;
    const char* stampText = stamp != nullptr ? stamp : "";
    int length = static_cast<int>(std::strlen(stampText));
    if (length > limit - pos) length = limit - pos;
    std::memcpy(buffer + pos, stampText, static_cast<size_t>(length));
    buffer[pos + length] = '\0';
    state.stampLength = length;
    pos += length;
    formatBody(format + 2);
  } else if (format[0] != '\0') {
    if (state.stampSeen && !state.lineContinues) pos += WriteIndentation(state.stampLength, buffer + pos, limit - pos);
    formatBody(format);
  }

  int length;
  if (cut) {
    // The marker ends one byte short of the end, leaving room for the CR
    // that the final line feed turns into.
    std::memcpy(buffer + size - 7, kTruncationMarker, sizeof kTruncationMarker);
    length = static_cast<int>(std::strlen(buffer));
  } else {
    length = pos + body;
  }

  if (length <= 2) return length;
  if (buffer[length - 1] == '\n') {
    state.lineContinues = false;
    buffer[length - 1] = '\r';
    buffer[length] = '\n';
    buffer[length + 1] = '\0';
    ++length;
  } else {
    state.lineContinues = true;
  }
  return length;
}

}  // namespace mardonel
