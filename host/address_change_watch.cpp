#include "host/address_change_watch.h"

#include <iphlpapi.h>

namespace mardonel {

AddressChangeWatch::AddressChangeWatch() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

AddressChangeWatch::~AddressChangeWatch() {
  if (armed_) CancelIPChangeNotify(&overlapped_);
}

bool AddressChangeWatch::Arm() {
  if (armed_) CancelIPChangeNotify(&overlapped_);
  armed_ = false;
  if (!event_) return false;
  ResetEvent(event_.get());
  overlapped_ = OVERLAPPED{};
  overlapped_.hEvent = event_.get();
  HANDLE unused = nullptr;
  armed_ = NotifyAddrChange(&unused, &overlapped_) == ERROR_IO_PENDING;
  return armed_;
}

}  // namespace mardonel
