// One outstanding request to be told when the machine's addresses change.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "common/win/win_owners.h"

namespace mardonel {

class AddressChangeWatch {
 public:
  AddressChangeWatch();
  ~AddressChangeWatch();
  AddressChangeWatch(const AddressChangeWatch&) = delete;
  AddressChangeWatch& operator=(const AddressChangeWatch&) = delete;

  // Asks for the next change: ERROR_SUCCESS, or why the platform cannot tell.
  [[nodiscard]] DWORD Arm();
  // Signalled when a change arrived; null when not armed.
  [[nodiscard]] HANDLE event() const { return armed_ ? event_.get() : nullptr; }

 private:
  unique_handle event_;
  OVERLAPPED overlapped_{};
  bool armed_ = false;
};

}  // namespace mardonel
