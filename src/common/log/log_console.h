// The console sink of the log.
#pragma once

#include <cstddef>

namespace mardonel {

// Writes to the standard output's console; a process without one shows nothing.
void WriteLogConsole(const char* text, std::size_t length);

}  // namespace mardonel
