// Any stamp and any argument text, under each kind of format the module
// uses, give a record that stays inside its buffer and keeps its framing;
// any outside text, escaped, holds no control character and reads back as
// itself.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/log/log_escape.h"
#include "log_record.h"

namespace mardonel {

namespace {

const char* const kFormats[] = {"%s", "%s\n", "%T: %s\n", "%T", "%T%s", "\t%s\r\n", "", "%T: [%s] %s\n"};

int Compose(LogStampState& state, char* buffer, int size, const char* format, const char* stamp, ...) {
  va_list args;
  va_start(args, stamp);
  const int length = ComposeLogRecord(state, buffer, size, format, args, stamp);
  va_end(args);
  return length;
}

std::string Unescaped(const std::string& shown) {
  std::string text;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\\') {
      text += shown[i];
      continue;
    }
    const char kind = shown[++i];
    if (kind == 'x') {
      text += static_cast<char>(std::strtol(shown.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      text += kind == 'r' ? '\r' : kind == 'n' ? '\n' : kind == 't' ? '\t' : kind;
    }
  }
  return text;
}

}  // namespace

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const char* format = kFormats[data[0] % (sizeof kFormats / sizeof kFormats[0])];
  const int bufferSize = data[1] % 2 == 0 ? kLogRecordSize : 8 + data[2];
  LogStampState state;
  state.stampSeen = (data[1] & 2) != 0;
  state.lineContinues = ((data[1] >> 2) & 1) != 0;
  state.stampLength = data[2] % 40;

  const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::size_t split = rest.find('\0');
  const std::string stamp = split == std::string::npos ? std::string() : rest.substr(0, split).substr(0, 39);
  const std::string text = split == std::string::npos ? rest : rest.substr(split + 1);

  std::string buffer(static_cast<std::size_t>(bufferSize), '\x7f');
  const int length = Compose(state, buffer.data(), bufferSize, format, stamp.c_str(), text.c_str(), text.c_str());

  const auto at = [&](int index) { return buffer[static_cast<std::size_t>(index)]; };
  if (length < 0 || length > bufferSize - 1) std::abort();
  if (at(0) != '\r' || at(1) != '\n') std::abort();
  if (length > 2 && at(length) != '\0') std::abort();
  if (length > 2 && at(length - 1) == '\n' && at(length - 2) != '\r') std::abort();

  const std::string shown = EscapedForLog(text);
  for (const char c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
  }
  if (Unescaped(shown) != text) std::abort();
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
