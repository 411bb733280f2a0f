// Owners of the kernel, file, registry and memory handles.
#pragma once

#include <windows.h>

#include "common/win/unique_any.h"

namespace mardonel {

inline void FreeProcessHeap(void* memory) { HeapFree(GetProcessHeap(), 0, memory); }

// Events, processes, threads, pipes: their opens report failure as null.
using unique_handle = unique_any<HANDLE, CloseHandle>;
// CreateFile reports failure as INVALID_HANDLE_VALUE.
using unique_hfile = unique_any<HANDLE, CloseHandle, -1>;
using unique_hfind = unique_any<HANDLE, FindClose, -1>;
using unique_hkey = unique_any<HKEY, RegCloseKey>;
using unique_hlocal = unique_any<HLOCAL, LocalFree>;
using unique_hmodule = unique_any<HMODULE, FreeLibrary>;
using unique_heap_text = unique_any<char*, FreeProcessHeap>;
using unique_environment_strings = unique_any<char*, FreeEnvironmentStringsA>;

}  // namespace mardonel
