// Outputs that would destroy what the report reads or writes. Only the
// platform can tell, through short names, case and other paths to a folder,
// whether two names are one file.
#pragma once

#include <string>
#include <vector>

namespace mardonel {

struct OutputFile {
  const char* option;  // "--output", "--svg"
  std::string path;    // as given, UTF-8
};

// Why `outputs` may not be written: one names a history file of `folder`
// (ANSI), existing or not, which the report would replace or the module
// append to, or the same file as another. Empty when none does.
std::string OutputClash(const std::string& folder, const std::vector<OutputFile>& outputs);

}  // namespace mardonel
