#include "log_device_name.h"

#include <algorithm>

namespace mardonel {

namespace {

// ASCII only: the answer must not depend on the locale.
bool SameLetters(std::string_view text, std::string_view upper) {
  return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](char c, char wanted) {
    return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == wanted;
  });
}

}  // namespace

bool NamesDevice(std::string_view path) {
  std::string_view stem = path.substr(path.find_last_of("\\/") + 1);
  stem = stem.substr(0, stem.find_first_of(".:"));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (SameLetters(stem, device)) return true;
  }
  const bool numbered = stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9';
  return numbered && (SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT"));
}

}  // namespace mardonel
