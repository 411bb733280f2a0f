// Owners of kernel handles: every way out of a scope closes them.
#pragma once

#include <windows.h>

#include <memory>

struct FileHandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using unique_hfile = std::unique_ptr<void, FileHandleCloser>;

// CreateFile reports failure as INVALID_HANDLE_VALUE; the owner holds null then.
inline unique_hfile AdoptFileHandle(HANDLE handle) {
  return unique_hfile(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct FindHandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }
};
using unique_hfind = std::unique_ptr<void, FindHandleCloser>;

inline unique_hfind AdoptFindHandle(HANDLE handle) {
  return unique_hfind(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};
using unique_hlocal = std::unique_ptr<void, LocalFreer>;
