#include "printable_name.h"

#include <cstdio>

#include "common/cli/utf8.h"

namespace mardonel::fleet {

std::string PrintableName(std::string_view bytes) {
  std::string text;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, at);
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
      ++at;
      continue;
    }
    if (byte == '\\') text += '\\';
    text.append(bytes.substr(at, length));
    at += length;
  }
  return text;
}

}  // namespace mardonel::fleet
