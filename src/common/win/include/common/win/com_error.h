// Failed COM calls, thrown with their HRESULT so that one handler at the
// edge of a chain of calls takes every failure in it.
#pragma once

#include <windows.h>

namespace mardonel {

class ComError {
 public:
  explicit ComError(HRESULT result) noexcept : result_(result) {}
  [[nodiscard]] HRESULT result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

inline void ThrowIfFailed(HRESULT result) {
  if (FAILED(result)) throw ComError(result);
}

}  // namespace mardonel
