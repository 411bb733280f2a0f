// What tells a file or folder from every other, whatever name reaches it: a
// link, a short name, another drive letter or share.
#pragma once

#include <windows.h>

#include <optional>

namespace mardonel {

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the existing file or folder `path` names, links followed;
// nothing when it cannot be opened.
[[nodiscard]] std::optional<FileIdentity> IdentityOf(const char* path);

}  // namespace mardonel
