#include "log_state.h"

#include <windows.h>

#include <utility>

namespace mardonel {

namespace {

// Both constant-initialised, so usable before and after the module's static
// constructors and destructors run.
SRWLOCK logLock = SRWLOCK_INIT;
constinit LogState logState;

}  // namespace

LockedLogState::LockedLogState() { AcquireSRWLockExclusive(&logLock); }

LockedLogState::~LockedLogState() { ReleaseSRWLockExclusive(&logLock); }

LogState& LockedLogState::operator*() const { return logState; }

LogState* LockedLogState::operator->() const { return &logState; }

void ExchangeLogState(LogState& other) {
  const LockedLogState log;
  std::swap(*log, other);
}

}  // namespace mardonel
