// The lines of a text file, as the module ends them with CR LF.
#pragma once

#include <string>
#include <vector>

namespace mardonel {

std::vector<std::string> SplitLines(const std::string& text);

enum class LinePart { kAnywhere, kStart, kEnd };
// How many of `lines` hold `piece` at `where`.
int CountLines(const std::vector<std::string>& lines, const std::string& piece, LinePart where = LinePart::kAnywhere);

}  // namespace mardonel
