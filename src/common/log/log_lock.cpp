#include "common/log/log_lock.h"

#include <windows.h>

namespace mardonel {

namespace {

// Zero-initialised, so usable before and after the module's static
// constructors and destructors run.
SRWLOCK logLock = SRWLOCK_INIT;

}  // namespace

LogLockGuard::LogLockGuard() { AcquireSRWLockExclusive(&logLock); }

LogLockGuard::~LogLockGuard() { ReleaseSRWLockExclusive(&logLock); }

}  // namespace mardonel
