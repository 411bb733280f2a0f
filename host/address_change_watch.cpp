#include "address_change_watch.h"

#include <iphlpapi.h>

namespace mardonel {

AddressChangeWatch::AddressChangeWatch() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

AddressChangeWatch::~AddressChangeWatch() {
  if (armed_) CancelIPChangeNotify(&overlapped_);
}

DWORD AddressChangeWatch::Arm() {
  if (armed_) CancelIPChangeNotify(&overlapped_);
  armed_ = false;
  if (!event_) return ERROR_INVALID_HANDLE;
  ResetEvent(event_.get());
  overlapped_ = OVERLAPPED{};
  overlapped_.hEvent = event_.get();
  HANDLE unused = nullptr;
  const DWORD asked = NotifyAddrChange(&unused, &overlapped_);
  armed_ = asked == ERROR_IO_PENDING;
  return armed_ ? ERROR_SUCCESS : asked;
}

}  // namespace mardonel
