// A report file read whole, told apart from one that cannot be read yet.
#pragma once

#include <string>

#include "common/win/result.h"

namespace mardonel::fleet {

enum class FileRead {
  // Not taken, tried again.
  kGone,
  kUnreadable,
  kGrowing,
  // Named and not taken until it is a file of its own.
  kLink,
  kNotAFile,
};

struct Unread {
  FileRead kind;
  std::string why;
};

// The content of `name` in the folder `folder` (a descriptor, or AT_FDCWD);
// with `followLink` false a link is not followed.
Result<std::string, Unread> ReadReportFile(int folder, const char* name, bool followLink);

}  // namespace mardonel::fleet
