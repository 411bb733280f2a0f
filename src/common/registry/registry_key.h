// What the registry reads and writes share: the opens, and which types hold
// text.
#pragma once

#include <windows.h>

#include "common/win/win_owners.h"
#include "common/win/with_status.h"

namespace mardonel {

// Read and write, without the right to delete the key itself.
inline constexpr REGSAM kRegistryReadWrite = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

inline bool IsRegistryText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Empty unless opened.
using RegistryKey = WithStatus<unique_hkey>;

inline RegistryKey OpenRegistryKey(HKEY root, const char* subKey, REGSAM access) {
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExA(root, subKey, 0, access, &key);
  return {unique_hkey(status == ERROR_SUCCESS ? key : nullptr), static_cast<DWORD>(status)};
}

// Opens the key read-write, creating it and its missing parents first.
inline RegistryKey CreateRegistryKey(HKEY root, const char* subKey) {
  HKEY key = nullptr;
  char noClass[] = "";
  const LSTATUS status = RegCreateKeyExA(root, subKey, 0, noClass, 0, kRegistryReadWrite, nullptr, &key, nullptr);
  return {unique_hkey(status == ERROR_SUCCESS ? key : nullptr), static_cast<DWORD>(status)};
}

}  // namespace mardonel
