// Keeping the caller's last-error value across diagnostics.
#pragma once

#include <windows.h>

namespace mardonel {

// Restores the thread's last-error value on every way out of a scope.
class LastErrorKeeper {
 public:
  LastErrorKeeper() : saved_(GetLastError()) {}
  ~LastErrorKeeper() { SetLastError(saved_); }
  LastErrorKeeper(const LastErrorKeeper&) = delete;
  LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

 private:
  DWORD saved_;
};

}  // namespace mardonel
