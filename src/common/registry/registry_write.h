// One write of a setting, as SetRegParameter makes it, through a writer a
// test can stand in for: the registry itself refuses no write that its
// delete would let through.
#pragma once

#include <windows.h>

namespace mardonel {

using RegistryValueWriter = LSTATUS(WINAPI*)(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                                             DWORD size);

// As SetRegParameter (registry_parameter.h), through `write`; leaves the
// thread's last error alone.
[[nodiscard]] DWORD WriteRegistryValue(HKEY root, const char* subKey, const char* valueName, DWORD type,
                                       const void* data, DWORD size, RegistryValueWriter write = RegSetValueExA);

}  // namespace mardonel
