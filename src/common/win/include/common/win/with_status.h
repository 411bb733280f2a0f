// A value with the status of the calls that made it: what a function returns
// when it has something to give besides whether it worked.
//
// The convention, for every function that returns one: `status` is
// ERROR_SUCCESS when `value` is all that was asked for, and otherwise the
// platform's error code (or one of ours, named where the function is
// declared). `value` is then what the function's contract says: empty, or
// what it had before the failure, never something made up. Read `status`
// before `value`: the type is [[nodiscard]] so that no status goes unread.
#pragma once

#include <windows.h>

#include <utility>

namespace mardonel {

template <typename T>
struct [[nodiscard]] WithStatus {
  WithStatus() = default;
  // Not an aggregate: braces that leave out the value's own would fill it
  // from the status.
  WithStatus(T made, DWORD madeStatus) : value(std::move(made)), status(madeStatus) {}

  T value{};
  DWORD status = ERROR_SUCCESS;

  [[nodiscard]] bool ok() const { return status == ERROR_SUCCESS; }
};

}  // namespace mardonel
