#include "module_list.h"

#include <atomic>
#include <new>

namespace mardonel {

namespace {

using EnumProcessModulesFunction = BOOL(WINAPI*)(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed);

// PSAPI.DLL stays loaded once found, so the function pointer stays valid.
std::atomic<EnumProcessModulesFunction> enumProcessModules{nullptr};

EnumProcessModulesFunction FindEnumProcessModules() {
  EnumProcessModulesFunction function = enumProcessModules.load();
  if (function != nullptr) return function;
  HMODULE psapi = LoadLibraryA("PSAPI.DLL");
  if (psapi == nullptr) return nullptr;
  function = reinterpret_cast<EnumProcessModulesFunction>(
      reinterpret_cast<void*>(GetProcAddress(psapi, "EnumProcessModules")));
  enumProcessModules.store(function);
  return function;
}

}  // namespace

DWORD ListLoadedModules(std::unique_ptr<HMODULE[]>& modules, DWORD& count) {
  const EnumProcessModulesFunction enumerate = FindEnumProcessModules();
  if (enumerate == nullptr) return GetLastError();

  DWORD size = 2 * sizeof(HMODULE);
  for (;;) {
    std::unique_ptr<HMODULE[]> list(new (std::nothrow) HMODULE[size / sizeof(HMODULE)]);
    if (!list) return ERROR_NOT_ENOUGH_MEMORY;
    DWORD needed = 0;
    if (!enumerate(GetCurrentProcess(), list.get(), size, &needed)) return GetLastError();
    // Modules loaded meanwhile make the list longer: ask again with room for all.
    if (needed > size) {
      size = needed;
      continue;
    }
    modules = std::move(list);
    count = needed / sizeof(HMODULE);
    return ERROR_SUCCESS;
  }
}

}  // namespace mardonel
