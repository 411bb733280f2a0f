#include <windows.h>

#include <utility>

#include "common/log/log.h"
#include "common/log/log_console.h"
#include "common/log/log_file.h"
#include "common/log/log_file_hold.h"
#include "common/log/log_format.h"
#include "common/log/log_locked.h"
#include "common/log/log_rollover.h"
#include "common/log/log_state.h"
#include "common/win/last_error.h"
#include "tovera/agent_log.h"

namespace mardonel {

namespace {

void WriteLogFile(LogFile& file, const char* text, std::size_t length) {
  if (!file.handle) return;
  DWORD written = 0;
  WriteFile(file.handle.get(), text, static_cast<DWORD>(length), &written, nullptr);
  file.end += written;
}

int FormatRecord(LogStampState& stamp, char* record, int size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = FormatLogRecord(stamp, record, size, format, args);
  va_end(args);
  return length;
}

// Says how many records the bounded queue dropped, where they would have been.
void WriteDroppedNote(LogStampState& stamp, LogFile& file, std::size_t dropped) {
  // The note must not change how the records around it continue their lines.
  const bool lineContinues = stamp.lineContinues;
  char note[kLogRecordSize];
  const int length = FormatRecord(stamp, note, sizeof note, "%T: %lu pending log records were dropped\n",
                                  static_cast<unsigned long>(dropped));
  stamp.lineContinues = lineContinues;
  WriteLogFile(file, note + 2, static_cast<std::size_t>(length - 2));
  WriteLogConsole(note + 2, static_cast<std::size_t>(length - 2));
}

void DrainPendingRecords(LogState& log, LogFile& file) {
  if (const std::size_t dropped = log.queue.TakeDropped(); dropped != 0) WriteDroppedNote(log.stamp, file, dropped);
  while (unique_pending_record record = log.queue.Pop()) {
    const auto length = static_cast<std::size_t>(record->length);
    WriteLogFile(file, record->text(), length);
    WriteLogConsole(record->text(), length);
  }
}

}  // namespace

int vLogPrintfLocked(LogState& log, const char* format, va_list args) {
  if (format == nullptr) format = "";
  if (log.settings.maxFileSize == 0) return 0;
  if (format[0] == '\0' && log.queue.empty()) return 0;

  char record[kLogRecordSize];
  const int length = FormatLogRecord(log.stamp, record, sizeof record, format, args);
  LogFile file = TakeLogFile(log);
  if (!file.handle && !IsConsoleOnlyLog(log.settings)) return log.queue.Push(record, length);

  DrainPendingRecords(log, file);
  if (length > 2) {
    const auto textLength = static_cast<std::size_t>(length - 2);
    WriteLogConsole(record + 2, textLength);
    WriteLogFile(file, record + 2, textLength);
  }
  if (file.handle && file.end >= log.settings.maxFileSize) {
    RollOverLogFile(log, std::move(file.handle));
  } else {
    PutBackLogFile(log, std::move(file));
  }
  return length > 0 && record[length - 1] == '\n' ? length - 1 : length;
}

int LogPrintfLocked(LogState& log, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintfLocked(log, format, args);
  va_end(args);
  return result;
}

// The exports are called by the host: nothing may escape them. A record lost
// to a failed allocation counts as not written.
int LogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintf(format, args);
  va_end(args);
  return result;
}

}  // namespace mardonel

extern "C" int vLogPrintf(const char* format, va_list args) {
  const mardonel::LastErrorKeeper lastError;
  try {
    const mardonel::LockedLogState log;
    return mardonel::vLogPrintfLocked(*log, format, args);
  } catch (...) {
    return 0;
  }
}

extern "C" int vFastLogPrintf(const char* format, va_list args) {
  const mardonel::LastErrorKeeper lastError;
  try {
    const mardonel::LockedLogState log;
    char record[mardonel::kLogRecordSize];
    const int length = mardonel::FormatLogRecord(log->stamp, record, sizeof record, format, args);
    return log->queue.Push(record, length);
  } catch (...) {
    return 0;
  }
}
