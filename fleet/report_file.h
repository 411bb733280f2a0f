// A report file read whole, told apart from one that cannot be read yet.
#pragma once

#include <string>

namespace mardonel::fleet {

enum class FileRead {
  kRead,
  // Each of the others: not taken, tried again.
  kGone,
  kUnreadable,
  kGrowing,
  // Named and not taken until it is a file of its own.
  kLink,
  kNotAFile,
};

// Reads `name` in the folder `folder` (a descriptor, or AT_FDCWD) into
// `content`; with `followLink` false a link is not followed. Anything but
// kRead leaves why in `why`.
[[nodiscard]] FileRead ReadReportFile(int folder, const char* name, bool followLink, std::string& content,
                                      std::string& why);

}  // namespace mardonel::fleet
