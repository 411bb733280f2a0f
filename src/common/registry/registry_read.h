// One read of a setting, as GetRegParameter makes it, with its outcome kept
// apart from the contract's "1 when changed".
#pragma once

#include <windows.h>

namespace mardonel {

struct [[nodiscard]] RegistryRead {
  DWORD status;  // of the last registry call that decides the read; ERROR_SUCCESS when read
  bool found;    // the value exists, whatever became of it
};

// As GetRegParameter (registry_parameter.h), with its arguments already
// checked: names given, `buffer` of `size` bytes, at least four for a
// REG_DWORD. Leaves the thread's last error alone.
RegistryRead ReadRegistryValue(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer,
                               DWORD size, DWORD flags);

}  // namespace mardonel
