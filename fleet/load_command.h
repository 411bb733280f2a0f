// mardonel-fleet load: see docs/admin/fleet.md.
#pragma once

#include <span>
#include <string>

#include "exit_status.h"

namespace mardonel::fleet {

// The words after "load"; what was done goes to standard output, refusals
// and failures to standard error.
[[nodiscard]] ExitStatus RunLoad(std::span<const std::string> arguments);

}  // namespace mardonel::fleet
