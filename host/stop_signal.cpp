#include "stop_signal.h"

#include <atomic>

namespace mardonel {

namespace {

std::atomic<StopSignal*> activeSignal{nullptr};

// The system ends the process a few seconds after a close event is handled.
constexpr DWORD kCloseGraceMilliseconds = 4500;

}  // namespace

StopSignal::StopSignal()
    : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), finished_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  activeSignal = this;
  SetConsoleCtrlHandler(&StopSignal::Handler, TRUE);
}

StopSignal::~StopSignal() {
  RunFinished();
  SetConsoleCtrlHandler(&StopSignal::Handler, FALSE);
  activeSignal = nullptr;
}

BOOL WINAPI StopSignal::Handler(DWORD controlType) {
  StopSignal* signal = activeSignal;
  if (signal == nullptr) return FALSE;
  SetEvent(signal->stop_.get());
  if (controlType == CTRL_CLOSE_EVENT || controlType == CTRL_LOGOFF_EVENT || controlType == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(signal->finished_.get(), kCloseGraceMilliseconds);
  }
  return TRUE;
}

}  // namespace mardonel
