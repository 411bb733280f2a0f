#include <windows.h>

#include <utility>

#include "common/fs/append_file.h"
#include "common/log/log.h"
#include "common/log/log_file_hold.h"
#include "common/win/last_error.h"
#include "log_console.h"
#include "log_file.h"
#include "log_format.h"
#include "log_locked.h"
#include "log_rollover.h"
#include "log_state.h"
#include "tovera/agent_log.h"

namespace mardonel {

namespace {

// Appends to the file, on a new line when the file ends inside one; false
// when a write failed or came up short.
bool AppendLogText(LogFile& file, const char* text, std::size_t length) {
  if (file.lastLineCut) {
    if (WriteAll(file.handle.get(), "\r\n", 2) != ERROR_SUCCESS) return false;
    file.end += 2;
    file.lastLineCut = false;
  }
  if (WriteAll(file.handle.get(), text, static_cast<DWORD>(length)) != ERROR_SUCCESS) return false;
  file.end += static_cast<std::int64_t>(length);
  return true;
}

// The file first, then the console, so that a record the file did not take
// stays queued and reaches the console once, when it is written.
bool WriteRecordText(LogFile& file, const char* text, std::size_t length) {
  if (file.handle && !AppendLogText(file, text, length)) return false;
  WriteLogConsole(text, length);
  return true;
}

int FormatRecord(LogStampState& stamp, char* record, int size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = FormatLogRecord(stamp, record, size, format, args);
  va_end(args);
  return length;
}

// Says how many records the bounded queue dropped, where they would have been.
bool WriteDroppedNote(LogStampState& stamp, LogFile& file, std::size_t dropped) {
  // The note must not change how the records around it continue their lines.
  const bool lineContinues = stamp.lineContinues;
  char note[kLogRecordSize];
  const int length = FormatRecord(stamp, note, sizeof note, "%T: %lu pending log records were dropped\n",
                                  static_cast<unsigned long>(dropped));
  stamp.lineContinues = lineContinues;
  return WriteRecordText(file, note + 2, static_cast<std::size_t>(length - 2));
}

// Each record leaves the queue once the file took it whole; false at the
// first that it did not, which stays queued with those behind it.
bool DrainPendingRecords(LogState& log, LogFile& file) {
  if (log.queue.dropped() != 0) {
    if (!WriteDroppedNote(log.stamp, file, log.queue.dropped())) return false;
    log.queue.TakeDropped();
  }
  while (PendingLogRecord* record = log.queue.front()) {
    if (!WriteRecordText(file, record->text(), static_cast<std::size_t>(record->length))) return false;
    log.queue.Pop();
  }
  return true;
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

  const bool written = DrainPendingRecords(log, file) &&
                       (length <= 2 || WriteRecordText(file, record + 2, static_cast<std::size_t>(length - 2)));
  // What a failed write left is looked at when the file is next opened.
  if (file.handle) log.knownEnd = written ? file.end : -1;
  if (file.handle && file.end >= log.settings.maxFileSize) {
    log.knownEnd = -1;
    RollOverLogFile(log, std::move(file.handle));
  } else if (written) {
    PutBackLogFile(log, std::move(file));
  }
  // A record the file did not take whole waits with the others.
  if (!written) return log.queue.Push(record, length);
  return length > 0 && record[length - 1] == '\n' ? length - 1 : length;
}

int LogPrintfLocked(LogState& log, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintfLocked(log, format, args);
  va_end(args);
  return result;
}

int LogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vLogPrintf(format, args);
  va_end(args);
  return result;
}

}  // namespace mardonel

// The exports are called by the host: nothing may escape them. A record lost
// to a failed allocation counts as not written.
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
