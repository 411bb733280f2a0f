#include "support/managed_subnets_env.h"

#include <windows.h>

#include <cstring>

namespace mardonel {

namespace {

constexpr char kCommonKey[] = "Software\\Quarnel\\Common";
constexpr char kValueName[] = "ManagedSubnets";

}  // namespace

void RememberManagedSubnets(const char* text) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kCommonKey, kValueName, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

}  // namespace mardonel
