// Texts from outside (the registry, the network) as a log line may show
// them. Needs nothing of the platform, so it also builds natively for
// fuzzing.
#pragma once

#include <string>
#include <string_view>

namespace mardonel {

// `text` with every control character written out (\r, \n, \t, or \xHH
// for the others and DEL), so that it can neither end a line nor start a
// forged one. A backslash is doubled, so that an escaped line end never
// reads as a typed "\r\n". Everything else stays as it is.
std::string EscapedForLog(std::string_view text);

}  // namespace mardonel
