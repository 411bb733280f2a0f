// The one lock around the log's state: settings as the log reads them,
// formatter state, pending queue, log file and rollover counters.
#pragma once

namespace mardonel {

// Holds the log lock for its lifetime. Not reentrant: code that already
// holds it calls the *Locked functions of log_locked.h instead.
class LogLockGuard {
 public:
  LogLockGuard();
  ~LogLockGuard();
  LogLockGuard(const LogLockGuard&) = delete;
  LogLockGuard& operator=(const LogLockGuard&) = delete;
};

}  // namespace mardonel
