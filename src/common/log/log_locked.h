// The log's entry points for code that already holds the log lock.
#pragma once

#include <cstdarg>

#include "log_state.h"

namespace mardonel {

int vLogPrintfLocked(LogState& log, const char* format, va_list args);
int LogPrintfLocked(LogState& log, const char* format, ...);

}  // namespace mardonel
