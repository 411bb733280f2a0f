#include "common/log/log_file_hold.h"

#include <utility>

#include "common/log/log_file.h"
#include "common/log/log_lock.h"

namespace mardonel {

namespace {

// Under the log lock. Both are constant-initialised, so usable whenever the
// log is.
int holds = 0;
unique_hfile heldFile;

}  // namespace

LogFileHold::LogFileHold() {
  const LogLockGuard lock;
  ++holds;
}

LogFileHold::~LogFileHold() {
  const LogLockGuard lock;
  if (--holds == 0) heldFile.reset();
}

unique_hfile TakeLogFile() {
  if (heldFile) return std::move(heldFile);
  return OpenLogFile();
}

void PutBackLogFile(unique_hfile file) {
  if (holds > 0) heldFile = std::move(file);
}

}  // namespace mardonel
