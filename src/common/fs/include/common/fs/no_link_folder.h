// Folders that must not be links for the module to act inside them.
#pragma once

#include "common/win/win_owners.h"

namespace mardonel {

// True when `folder` is a reparse point itself: a symbolic link, a junction
// or a mount point. A trailing backslash is ignored.
[[nodiscard]] bool IsReparseFolder(const char* folder);

// True when the folder that holds `path` is a reparse point. A look at the
// name only, much cheaper than PinnedFolders but open to a swap between the
// look and the act.
[[nodiscard]] bool IsInReparseFolder(const char* path);

// The folders that hold a file, checked and kept in place for as long as the
// caller acts on the file.
class PinnedFolders {
 public:
  // Checks the `levels` innermost folders of `path` (its folder, the folder
  // above, ...), never a drive's root, and holds the innermost open without
  // delete sharing: where the platform enforces sharing, neither it nor a
  // folder above it can be renamed away and replaced by a link meanwhile.
  // Missing folders are no refusal: an act inside them fails by itself.
  PinnedFolders(const char* path, int levels);

  // One of the folders is a reparse point: act on nothing inside.
  [[nodiscard]] bool refused() const { return refused_; }

 private:
  unique_hfile innermost_;
  bool refused_ = false;
};

}  // namespace mardonel
