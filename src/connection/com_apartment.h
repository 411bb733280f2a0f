// The calling thread's COM initialisation for the length of a scope.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace mardonel {

class CComApartment {
 public:
  explicit CComApartment(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  ~CComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  CComApartment(const CComApartment&) = delete;
  CComApartment& operator=(const CComApartment&) = delete;

  // S_FALSE: the thread was already in this apartment, which is as good.
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace mardonel
