// Owners of the Windows resources the host holds: every way out releases them.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct KernelHandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using unique_handle = std::unique_ptr<void, KernelHandleCloser>;

struct FindHandleCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};
using unique_hfind = std::unique_ptr<void, FindHandleCloser>;

struct RegistryKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using unique_hkey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegistryKeyCloser>;

struct ProcessHeapFreer {
  void operator()(void* memory) const { HeapFree(GetProcessHeap(), 0, memory); }
};
using unique_heap_text = std::unique_ptr<char, ProcessHeapFreer>;
