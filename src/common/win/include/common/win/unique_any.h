// The one owner of platform handles: every way out of a scope closes what it
// holds. Each kind is one alias (win_owners.h, net_owners.h, com_owners.h),
// which also states the value its API uses for "no handle"; the owner holds
// that value when empty and never passes it to the close function.
#pragma once

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <utility>

#include "common/win/last_error.h"

namespace mardonel {

template <typename Handle, auto Close, std::intptr_t kNone = 0>
class unique_any {
 public:
  unique_any() = default;
  explicit unique_any(Handle handle) noexcept : handle_(handle) {}
  unique_any(unique_any&& other) noexcept : handle_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  static Handle none() noexcept {
    if constexpr (std::is_pointer_v<Handle>)
      return reinterpret_cast<Handle>(kNone);  // NOLINT(performance-no-int-to-ptr): INVALID_HANDLE_VALUE is one
    else
      return static_cast<Handle>(kNone);
  }
  [[nodiscard]] Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != none(); }
  Handle release() noexcept { return std::exchange(handle_, none()); }
  // Keeps the thread's last error, so that a failure reported just before an
  // owner goes out of scope survives the close.
  void reset(Handle handle = none()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old == none()) return;
    const LastErrorKeeper lastError;
    Close(old);
  }
  // For a call that fills the handle; whatever was held is closed first.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = none();
};

}  // namespace mardonel
