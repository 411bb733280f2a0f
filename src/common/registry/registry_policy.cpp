#include <cstring>
#include <string>

#include "common/log/log.h"
#include "common/registry/registry_parameter.h"
#include "common/registry/setting_names.h"
#include "registry_key.h"

namespace mardonel {

namespace {

// A longer policy key is not looked for.
constexpr std::size_t kPolicyKeyLimit = 259;

// ERROR_SUCCESS when the policy key holds the value, whatever its size;
// otherwise why it does not.
[[nodiscard]] DWORD FindPolicyValue(HKEY root, const char* policyKey, const char* valueName) {
  const RegistryKey opened = OpenRegistryKey(root, policyKey, KEY_READ);
  if (!opened.ok()) return opened.status();
  DWORD type = REG_NONE;
  DWORD size = 0;
  const LSTATUS status = RegQueryValueExA(opened.value().get(), valueName, nullptr, &type, nullptr, &size);
  return status == ERROR_MORE_DATA ? ERROR_SUCCESS : static_cast<DWORD>(status);
}

}  // namespace

DWORD RegGetPolicyParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer, DWORD size,
                            DWORD flags) {
  if (root == nullptr || subKey == nullptr || valueName == nullptr) {
    return GetRegParameter(root, subKey, valueName, type, buffer, size, flags);
  }
  if (_strnicmp(subKey, kSettingsRoot.data(), kSettingsRoot.size()) != 0) {
    LogPrintf("Error: RegGetPolicyParameter %s\n", valueName);
    return GetRegParameter(root, subKey, valueName, type, buffer, size, flags);
  }
  const std::string policyKey = PolicyKeyOf(subKey);
  if (policyKey.size() <= kPolicyKeyLimit && FindPolicyValue(root, policyKey.c_str(), valueName) == ERROR_SUCCESS) {
    // Policy wins outright: read-only, and the ordinary key is left alone.
    return GetRegParameter(root, policyKey.c_str(), valueName, type, buffer, size,
                           flags | RP_READ_ONLY | RP_FROM_POLICY);
  }
  return GetRegParameter(root, subKey, valueName, type, buffer, size, flags);
}

}  // namespace mardonel
