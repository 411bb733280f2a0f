// Texts from outside (the registry, the network) as a log line may show
// them. Needs nothing of the platform, so it also builds natively for
// fuzzing.
#pragma once

#include <string>
#include <string_view>

namespace mardonel {

// `text` with every control character written out (\r, \n, \t, or \xHH
// for the others and DEL), so that it can neither end a line nor start a
// forged one. Everything else, backslashes included, stays as it is.
std::string EscapedForLog(std::string_view text);

}  // namespace mardonel
