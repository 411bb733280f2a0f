// The log's entry points for code that already holds the log lock.
#pragma once

#include <cstdarg>

int vLogPrintfLocked(const char* format, va_list args);
int LogPrintfLocked(const char* format, ...);
