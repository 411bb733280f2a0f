// A value with the status of the calls that made it: what a function returns
// when it has something to give besides whether it worked.
//
// The convention, for every function that returns one: `status()` is
// ERROR_SUCCESS when `value()` is all that was asked for, and otherwise the
// platform's error code (or one of ours, named where the function is
// declared). `value()` is then what the function's contract says: empty, or
// what it had before the failure, never something made up. Ask `status()`
// (or `ok()`) before `value()`, which ends the program otherwise, as
// common/win/result.h does; the type is [[nodiscard]] so that no status goes
// unread. Release builds drop the check, as common/win/result.h says.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <utility>

#include "common/win/result.h"

namespace mardonel {

template <typename T>
class [[nodiscard]] WithStatus {
 public:
  WithStatus() = default;
  WithStatus(T made, DWORD madeStatus) : value_(std::move(made)), status_(madeStatus) {}

  [[nodiscard]] DWORD status() const {
    asked_ = true;
    return status_;
  }
  [[nodiscard]] bool ok() const { return status() == ERROR_SUCCESS; }

  [[nodiscard]] const T& value() const& { return Checked(); }
  [[nodiscard]] T& value() & { return const_cast<T&>(Checked()); }
  [[nodiscard]] T&& value() && { return std::move(const_cast<T&>(Checked())); }

 private:
  const T& Checked() const {
    if (!Asked(asked_)) std::abort();
    return value_;
  }

  T value_{};
  DWORD status_ = ERROR_SUCCESS;
  mutable bool asked_ = false;
};

}  // namespace mardonel
