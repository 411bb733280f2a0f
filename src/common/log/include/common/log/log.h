// The diagnostic log: every line of the module goes through LogPrintf.
#pragma once

#include <cstdarg>

#include "common/log/log_settings.h"
#include "tovera/agent_log.h"

namespace mardonel {

// A format that begins with "%T" is stamped with the local date and time.
// Keeps the caller's last-error value.
int LogPrintf(const char* format, ...);

}  // namespace mardonel
