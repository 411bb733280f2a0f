// The modules loaded in this process, for searching their message tables.
#pragma once

#include <windows.h>

#include <memory>

namespace mardonel {

// On success `modules` holds the handles of the process's modules, the
// executable first, and `count` their number; ERROR_SUCCESS or why not.
[[nodiscard]] DWORD ListLoadedModules(std::unique_ptr<HMODULE[]>& modules, DWORD& count);

}  // namespace mardonel
