#include <windows.h>

#include <utility>

#include "common/log/log.h"
#include "common/log/log_console.h"
#include "common/log/log_file.h"
#include "common/log/log_file_hold.h"
#include "common/log/log_format.h"
#include "common/log/log_lock.h"
#include "common/log/log_locked.h"
#include "common/log/log_queue.h"
#include "common/log/log_record.h"
#include "common/log/log_rollover.h"
#include "common/win/last_error.h"
#include "tovera/agent_log.h"

namespace mardonel {

namespace {

constexpr std::int32_t kMinLogFilesize = 8192;

void WriteLogFile(HANDLE file, const char* text, std::size_t length) {
  DWORD written = 0;
  if (file != nullptr) WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
}

int FormatRecord(char* record, int size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = FormatLogRecord(record, size, format, args);
  va_end(args);
  return length;
}

// Says how many records the bounded queue dropped, where they would have been.
void WriteDroppedNote(HANDLE file, std::size_t dropped) {
  // The note must not change how the records around it continue their lines.
  const int lineContinues = LineContinues;
  char note[kLogRecordSize];
  const int length = FormatRecord(note, sizeof note, "%T: %lu pending log records were dropped\n",
                                  static_cast<unsigned long>(dropped));
  LineContinues = lineContinues;
  WriteLogFile(file, note + 2, static_cast<std::size_t>(length - 2));
  WriteLogConsole(note + 2, static_cast<std::size_t>(length - 2));
}

void DrainPendingRecords(HANDLE file) {
  PendingLogQueue& queue = PendingLogRecords();
  if (const std::size_t dropped = queue.TakeDropped(); dropped != 0) WriteDroppedNote(file, dropped);
  while (unique_pending_record record = queue.Pop()) {
    const auto length = static_cast<std::size_t>(record->length);
    WriteLogFile(file, record->text(), length);
    WriteLogConsole(record->text(), length);
  }
}

bool ReachedSizeLimit(HANDLE file) {
  LARGE_INTEGER size;
  return GetFileSizeEx(file, &size) && size.QuadPart >= MaxLogFilesize;
}

}  // namespace

int vLogPrintfLocked(const char* format, va_list args) {
  if (format == nullptr) format = "";
  if (MaxLogFilesize == 0) return 0;
  if (format[0] == '\0' && PendingLogRecords().empty()) return 0;
  if (MaxLogFilesize < kMinLogFilesize) MaxLogFilesize = kMinLogFilesize;

  char record[kLogRecordSize];
  const int length = FormatLogRecord(record, sizeof record, format, args);
  unique_hfile file = TakeLogFile();
  if (!file && !IsConsoleOnlyLog()) return QueueLogRecord(record, length);

  DrainPendingRecords(file.get());
  if (length > 2) {
    const auto textLength = static_cast<std::size_t>(length - 2);
    WriteLogConsole(record + 2, textLength);
    WriteLogFile(file.get(), record + 2, textLength);
  }
  if (file && ReachedSizeLimit(file.get())) RollOverLogFile(std::move(file));
  PutBackLogFile(std::move(file));
  return length > 0 && record[length - 1] == '\n' ? length - 1 : length;
}

int LogPrintfLocked(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintfLocked(format, args);
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

extern "C" __declspec(dllexport) int vLogPrintf(const char* format, va_list args) {
  const mardonel::LastErrorKeeper lastError;
  try {
    const mardonel::LogLockGuard lock;
    return mardonel::vLogPrintfLocked(format, args);
  } catch (...) {
    return 0;
  }
}

extern "C" __declspec(dllexport) int vFastLogPrintf(const char* format, va_list args) {
  const mardonel::LastErrorKeeper lastError;
  try {
    const mardonel::LogLockGuard lock;
    char record[mardonel::kLogRecordSize];
    const int length = mardonel::FormatLogRecord(record, sizeof record, format, args);
    return mardonel::QueueLogRecord(record, length);
  } catch (...) {
    return 0;
  }
}
