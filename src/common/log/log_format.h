// Log record formatting with the local date and time stamp.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "log_record.h"

namespace mardonel {

// Builds one record in `buffer` (see ComposeLogRecord) and returns its length.
int FormatLogRecord(LogStampState& state, char* buffer, int size, const char* format, va_list args);

}  // namespace mardonel
