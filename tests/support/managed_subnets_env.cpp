#include "support/managed_subnets_env.h"

#include <windows.h>

#include <cstring>

#include "common/registry/setting_names.h"

namespace mardonel {

namespace {}  // namespace

void RememberManagedSubnets(const char* text) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kCommonKey, kManagedSubnetsValue, REG_SZ, text,
                  static_cast<DWORD>(std::strlen(text) + 1));
}

}  // namespace mardonel
