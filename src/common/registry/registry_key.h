// The registry opens shared by reads and writes.
#pragma once

#include <windows.h>

#include "common/win/win_owners.h"

namespace mardonel {

// Read and write, without the right to delete the key itself.
inline constexpr REGSAM kRegistryReadWrite = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// `status` receives the result of the call; the owner is empty on failure.
inline unique_hkey OpenRegistryKey(HKEY root, const char* subKey, REGSAM access, LSTATUS& status) {
  HKEY key = nullptr;
  status = RegOpenKeyExA(root, subKey, 0, access, &key);
  return unique_hkey(status == ERROR_SUCCESS ? key : nullptr);
}

// Opens the key read-write, creating it and its missing parents first.
inline unique_hkey CreateRegistryKey(HKEY root, const char* subKey, LSTATUS& status) {
  HKEY key = nullptr;
  char noClass[] = "";
  status = RegCreateKeyExA(root, subKey, 0, noClass, 0, kRegistryReadWrite, nullptr, &key, nullptr);
  return unique_hkey(status == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace mardonel
