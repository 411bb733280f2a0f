#include "log_device_name.h"

#include <algorithm>
#include <cstddef>

namespace mardonel {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// ASCII only: the answer must not depend on the locale.
bool SameLetters(std::string_view text, std::string_view upper) {
  return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](char c, char wanted) {
    return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == wanted;
  });
}

std::string_view FirstPart(std::string_view path) { return path.substr(0, path.find_first_of("\\/")); }

std::string_view AfterFirstPart(std::string_view path) {
  return path.substr(std::min(path.size(), FirstPart(path).size() + 1));
}

bool IsDrivePath(std::string_view path) {
  const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]);
}

bool LastPartNamesDevice(std::string_view path) {
  std::string_view stem = path.substr(path.find_last_of("\\/") + 1);
  stem = stem.substr(0, stem.find_first_of(".:"));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (SameLetters(stem, device)) return true;
  }
  const bool numbered = stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9';
  return numbered && (SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT"));
}

}  // namespace

bool NamesNoPlainFile(std::string_view path) {
  // A drive's path, or a share's from the server's name on.
  std::string_view local = path;
  bool share = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  if (share) {
    local = path.substr(2);
    const std::string_view prefix = FirstPart(local);
    if (prefix == ".") return true;
    if (prefix == "?") {
      local = AfterFirstPart(local);
      share = SameLetters(FirstPart(local), "UNC");
      if (share) local = AfterFirstPart(local);
      if (!share && !IsDrivePath(local)) return true;
    }
  }
  if (share) {
    const std::string_view shareName = FirstPart(AfterFirstPart(local));
    if (FirstPart(local).empty() || SameLetters(shareName, "PIPE") || SameLetters(shareName, "MAILSLOT")) return true;
  }
  // The drive's own colon is the only one a file's name may hold.
  if (local.find(':', share ? 0 : 2) != std::string_view::npos) return true;
  return LastPartNamesDevice(local);
}

}  // namespace mardonel
