#include "support/fast_log_printf.h"

#include <cstdarg>

#include "tovera/agent_log.h"

namespace mardonel {

int FastLogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vFastLogPrintf(format, args);
  va_end(args);
  return result;
}

}  // namespace mardonel
