// The one owner of platform handles: every way out of a scope closes what it
// holds. Each kind is one alias below, which also states the value its API
// uses for "no handle"; the owner holds that value when empty and never
// passes it to the close function.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <oleauto.h>
#include <wininet.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <type_traits>
#include <utility>

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
      return reinterpret_cast<Handle>(kNone);
    else
      return static_cast<Handle>(kNone);
  }
  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != none(); }
  Handle release() noexcept { return std::exchange(handle_, none()); }
  void reset(Handle handle = none()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != none()) Close(old);
  }
  // For a call that fills the handle; whatever was held is closed first.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = none();
};

inline void FreeProcessHeap(void* memory) { HeapFree(GetProcessHeap(), 0, memory); }
inline void EndWinsock(bool) { WSACleanup(); }

// Events, processes, threads, pipes: their opens report failure as null.
using unique_handle = unique_any<HANDLE, CloseHandle>;
// CreateFile reports failure as INVALID_HANDLE_VALUE.
using unique_hfile = unique_any<HANDLE, CloseHandle, -1>;
using unique_hfind = unique_any<HANDLE, FindClose, -1>;
using unique_hkey = unique_any<HKEY, RegCloseKey>;
using unique_hlocal = unique_any<HLOCAL, LocalFree>;
using unique_heap_text = unique_any<char*, FreeProcessHeap>;
using unique_environment_strings = unique_any<char*, FreeEnvironmentStringsA>;
using unique_hinternet = unique_any<HINTERNET, InternetCloseHandle>;
using unique_socket = unique_any<SOCKET, closesocket, static_cast<std::intptr_t>(INVALID_SOCKET)>;
// Holds true from a successful WSAStartup until its WSACleanup.
using unique_winsock = unique_any<bool, EndWinsock>;
using unique_addrinfoex = unique_any<ADDRINFOEXW*, FreeAddrInfoExW>;
using unique_bstr = unique_any<BSTR, SysFreeString>;

}  // namespace mardonel
