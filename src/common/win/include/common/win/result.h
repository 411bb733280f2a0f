// A value, or the reason there is none: what a function returns when it may
// refuse. Needs nothing of the platform.
//
// Ask before reading: `*`, `->` and `reason()` end the program unless `ok()`
// (or the result as a bool) was asked first, and read only what the result
// holds. The type is [[nodiscard]] so that no refusal goes unread. A Release
// build, which ships inside the host, drops the first check: a read before
// asking that no test reached must not end the host's process.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <string>
#include <utility>
#include <variant>

namespace mardonel {

// Whether a result was asked before it was read, as far as the build checks.
[[nodiscard]] constexpr bool Asked(bool asked) noexcept {
#ifdef MARDONEL_UNCHECKED_RESULTS
  static_cast<void>(asked);
  return true;
#else
  return asked;
#endif
}

// What a refusing function returns: `return Refusal{"why"};`.
template <typename Why>
struct Refusal {
  Why why;
};
template <typename Why>
Refusal(Why) -> Refusal<Why>;

template <typename T, typename Why = std::string>
class [[nodiscard]] Result {
 public:
  Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
  template <typename Given>
  Result(Refusal<Given> refusal) : held_(std::in_place_index<1>, Why(std::move(refusal.why))) {}

  [[nodiscard]] bool ok() const {
    asked_ = true;
    return held_.index() == 0;
  }
  explicit operator bool() const { return ok(); }

  [[nodiscard]] const T& operator*() const& { return *Checked<0>(); }
  [[nodiscard]] T& operator*() & { return *const_cast<T*>(Checked<0>()); }
  [[nodiscard]] T&& operator*() && { return std::move(*const_cast<T*>(Checked<0>())); }
  [[nodiscard]] const T* operator->() const { return Checked<0>(); }
  [[nodiscard]] T* operator->() { return const_cast<T*>(Checked<0>()); }
  [[nodiscard]] const Why& reason() const { return *Checked<1>(); }

 private:
  template <std::size_t holding>
  const auto* Checked() const {
    const auto* held = std::get_if<holding>(&held_);
    if (!Asked(asked_) || held == nullptr) std::abort();
    return held;
  }

  std::variant<T, Why> held_;
  mutable bool asked_ = false;
};

}  // namespace mardonel
