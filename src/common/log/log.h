// The diagnostic log: every line of the module goes through LogPrintf.
#pragma once

#include <cstdarg>

#include "common/log/log_settings.h"

// A format that begins with "%T" is stamped with the local date and time.
// Keeps the caller's last-error value.
int LogPrintf(const char* format, ...);

extern "C" {
__declspec(dllexport) int vLogPrintf(const char* format, va_list args);
__declspec(dllexport) int vFastLogPrintf(const char* format, va_list args);
}
