// The calling thread's COM initialisation for the length of a scope.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace mardonel {

class ComApartment {
 public:
  explicit ComApartment(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // S_FALSE: the thread was already in this apartment, which is as good.
  [[nodiscard]] HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace mardonel
