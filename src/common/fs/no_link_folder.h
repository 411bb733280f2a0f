// Folders that must not be links for the module to act inside them.
#pragma once

#include <vector>

#include "common/fs/unique_handle.h"

// True when `folder` is a reparse point itself: a symbolic link, a junction
// or a mount point. A trailing backslash is ignored.
bool IsReparseFolder(const char* folder);

// True when the folder that holds `path` is a reparse point. A look at the
// name only, much cheaper than PinnedFolders but open to a swap between the
// look and the act.
bool IsInReparseFolder(const char* path);

// The folders that hold a file, held open for as long as the caller acts on
// the file. Held without delete sharing, none of them can be renamed away
// and replaced by a link meanwhile, where the platform enforces sharing.
class PinnedFolders {
 public:
  // Pins the `levels` innermost folders of `path` (its folder, the folder
  // above, ...), never a drive's root. Missing folders are left out: an act
  // inside them fails by itself.
  PinnedFolders(const char* path, int levels);
  PinnedFolders(PinnedFolders&&) = default;
  PinnedFolders& operator=(PinnedFolders&&) = default;

  // One of the folders is a reparse point: act on nothing inside.
  bool refused() const { return refused_; }

 private:
  void Pin(const char* folder);

  std::vector<unique_hfile> folders_;
  bool refused_ = false;
};
