// Owners of COM strings, values and interface references: every way out of
// a scope frees, clears or releases them.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <new>
#include <utility>

#include "common/win/unique_any.h"

namespace mardonel {

using unique_bstr = unique_any<BSTR, SysFreeString>;

// A copy of `text`; a null text gives a null string. A string that cannot be
// made is a want of memory, thrown as any allocation's is.
inline unique_bstr CopyBstr(const wchar_t* text) {
  if (text == nullptr) return unique_bstr();
  unique_bstr copy(SysAllocString(text));
  if (!copy) throw std::bad_alloc();
  return copy;
}

// A VARIANT owned by value: starts empty, clears on the way out; moved,
// never copied.
class unique_variant {
 public:
  unique_variant() { VariantInit(&value_); }
  unique_variant(unique_variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  unique_variant(const unique_variant&) = delete;
  unique_variant& operator=(const unique_variant&) = delete;
  ~unique_variant() { VariantClear(&value_); }

  [[nodiscard]] const VARIANT& get() const { return value_; }
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
  [[nodiscard]] Interface* get() const { return pointer_; }
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
