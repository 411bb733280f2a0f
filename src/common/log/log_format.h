// Log record formatting with the local date and time stamp.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "common/log/log_record.h"

namespace mardonel {

// The system locale's short date and hh:mm:ss of `localFileTime` (0: now).
// With a null `buffer` one of two alternating static 40-byte buffers is used.
char* LocalTimeText(char* buffer, std::size_t size, std::uint64_t localFileTime);

// Builds one record in `buffer` (see ComposeLogRecord) and returns its length.
int FormatLogRecord(LogStampState& state, char* buffer, int size, const char* format, va_list args);

}  // namespace mardonel
