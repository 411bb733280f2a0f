// The exported vFastLogPrintf with its arguments in line, as LogPrintf is
// to vLogPrintf: the record waits in the queue for the next written one.
#pragma once

namespace mardonel {

int FastLogPrintf(const char* format, ...);

}  // namespace mardonel
