// Owners of COM values and interface references: every way out of a scope
// clears or releases them. Strings are `unique_bstr`.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <utility>

#include "common/win/unique_any.h"
#include "connection/wrapper_error.h"

namespace mardonel {

// A copy of `text`; a null text gives a null string.
inline unique_bstr CopyBstr(const wchar_t* text) {
  if (text == nullptr) return unique_bstr();
  unique_bstr copy(SysAllocString(text));
  if (!copy) throw CWrapperError(E_OUTOFMEMORY);
  return copy;
}

// A VARIANT owned by value: starts empty, copies deeply, clears on the way out.
class unique_variant {
 public:
  unique_variant() { VariantInit(&value_); }
  explicit unique_variant(const VARIANT& source) {
    VariantInit(&value_);
    // The source is only read; the platform declares it without const.
    const HRESULT copied = VariantCopy(&value_, const_cast<VARIANT*>(&source));
    if (FAILED(copied)) throw CWrapperError(copied);
  }
  unique_variant(const unique_variant& other) : unique_variant(other.value_) {}
  unique_variant& operator=(const unique_variant&) = delete;
  ~unique_variant() { VariantClear(&value_); }

  const VARIANT& get() const { return value_; }
  // For a call that fills the value; whatever was held is cleared first.
  VARIANT* put() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

// One counted reference to a COM interface.
template <typename Interface>
class com_ptr {
 public:
  com_ptr() = default;
  // Takes a reference of its own; the caller keeps the one it has.
  explicit com_ptr(Interface* pointer) : pointer_(pointer) {
    if (pointer_ != nullptr) pointer_->AddRef();
  }
  com_ptr(const com_ptr& other) : com_ptr(other.pointer_) {}
  com_ptr(com_ptr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  com_ptr& operator=(com_ptr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~com_ptr() { reset(); }

  void reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }
  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For a call that hands over a reference; whatever was held is released first.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace mardonel
