#include "log_format.h"

#include "common/win/file_time.h"

namespace mardonel {

namespace {

constexpr std::size_t kStampSize = 40;

}  // namespace

int FormatLogRecord(LogStampState& state, char* buffer, int size, const char* format, va_list args) {
  if (format == nullptr) format = "";
  char stamp[kStampSize] = "";
  if (format[0] == '%' && format[1] == 'T') {
    LocalTimeText(stamp, sizeof stamp, LocalReading(FileTimeUnits(state.localNow != nullptr ? state.localNow() : 0)));
  }
  return ComposeLogRecord(state, buffer, size, format, args, stamp);
}

}  // namespace mardonel
