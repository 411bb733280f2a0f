// The program's own command line, as both programs read it.
#pragma once

#include <string>
#include <vector>

namespace mardonel {

// The arguments after the program's name, read from the wide command line
// and given in UTF-8. The ANSI ones would have a character outside the
// code page replaced by a look-alike: a full-width digit by its ASCII one.
[[nodiscard]] std::vector<std::string> Utf8Arguments();

}  // namespace mardonel
