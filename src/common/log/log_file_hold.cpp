#include "common/log/log_file_hold.h"

#include <utility>

#include "log_file.h"

namespace mardonel {

LogFileHold::LogFileHold() { ++LockedLogState()->fileHolds; }

LogFileHold::~LogFileHold() {
  const LockedLogState log;
  if (--log->fileHolds == 0) log->heldFile.reset();
}

LogFile TakeLogFile(LogState& log) {
  if (log.heldFile && log.heldFile->handle) {
    LogFile file = std::move(*log.heldFile);
    log.heldFile.reset();
    return file;
  }
  return OpenLogFile(log);
}

void PutBackLogFile(LogState& log, LogFile file) {
  if (log.fileHolds > 0) log.heldFile = std::move(file);
}

}  // namespace mardonel
