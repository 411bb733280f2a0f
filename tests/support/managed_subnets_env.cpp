#include "support/managed_subnets_env.h"

#include <windows.h>

#include <cstring>

#include "common/registry/registry_key.h"

namespace {

constexpr char kCommonKey[] = "Software\\Quarnel\\Common";
constexpr char kValueName[] = "ManagedSubnets";

}  // namespace

void ForgetManagedSubnets() {
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kCommonKey, kValueName);
  // A clean machine has no such key at all; one that holds nothing else goes.
  LSTATUS status = ERROR_SUCCESS;
  unique_hkey key = OpenRegistryKey(HKEY_LOCAL_MACHINE, kCommonKey, KEY_READ, status);
  if (!key) return;
  DWORD subKeys = 0;
  DWORD values = 0;
  status = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr);
  key.reset();
  if (status == ERROR_SUCCESS && subKeys == 0 && values == 0) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCommonKey);
}

void RememberManagedSubnets(const char* text) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kCommonKey, kValueName, REG_SZ, text,
                  static_cast<DWORD>(std::strlen(text) + 1));
}
