// One read of a setting, as GetRegParameter makes it, with its outcome kept
// apart from the contract's "1 when changed".
#pragma once

#include <windows.h>

#include "common/win/with_status.h"

namespace mardonel {

// Whether the value exists, whatever became of it; the status is that of
// the last registry call that decides the read.
using RegistryRead = WithStatus<bool>;

// As GetRegParameter (registry_parameter.h), with its arguments already
// checked: names given, `buffer` of `size` bytes, at least four for a
// REG_DWORD. Leaves the thread's last error alone.
RegistryRead ReadRegistryValue(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer,
                               DWORD size, DWORD flags);

}  // namespace mardonel
