// The log's entry points for code that already holds the log lock.
#pragma once

#include <cstdarg>

namespace mardonel {

int vLogPrintfLocked(const char* format, va_list args);
int LogPrintfLocked(const char* format, ...);

}  // namespace mardonel
