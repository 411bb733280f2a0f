// Ctrl+C, Ctrl+Break and closing the console ask the run to end. The run
// then shuts the module down on its own thread; a closing console waits for
// that before the process is ended.
#pragma once

#include <windows.h>

#include "common/win/win_owners.h"

namespace mardonel {

class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  [[nodiscard]] HANDLE event() const { return stop_.get(); }
  [[nodiscard]] bool requested() const { return WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0; }
  // Waits up to `milliseconds`; true when the stop came first.
  [[nodiscard]] bool Wait(DWORD milliseconds) const {
    return WaitForSingleObject(stop_.get(), milliseconds) == WAIT_OBJECT_0;
  }
  // The module is gone: a closing console may end the process now.
  void RunFinished() { SetEvent(finished_.get()); }

 private:
  static BOOL WINAPI Handler(DWORD controlType);

  unique_handle stop_;
  unique_handle finished_;
};

}  // namespace mardonel
