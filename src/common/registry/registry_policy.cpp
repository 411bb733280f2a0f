#include <cstring>

#include "common/log/log.h"
#include "common/registry/registry_key.h"
#include "common/registry/registry_parameter.h"

namespace mardonel {

namespace {

constexpr char kSettingsPrefix[] = "Software\\Quarnel\\";
constexpr std::size_t kSettingsRootLength = sizeof "Software\\Quarnel" - 1;
constexpr char kPolicyRoot[] = "Software\\Policies\\Quarnel";
constexpr std::size_t kPolicyNameSize = 260;

// The policy counterpart of a settings key: Software\Quarnel\X becomes
// Software\Policies\Quarnel\X. False when it does not fit.
[[nodiscard]] bool PolicyKeyName(const char* subKey, char (&name)[kPolicyNameSize]) {
  const char* rest = subKey + kSettingsRootLength;
  if (sizeof kPolicyRoot + std::strlen(rest) > sizeof name) return false;
  std::memcpy(name, kPolicyRoot, sizeof kPolicyRoot);
  std::strcat(name, rest);
  return true;
}

// ERROR_SUCCESS when the policy key holds the value, whatever its size;
// otherwise why it does not.
[[nodiscard]] DWORD FindPolicyValue(HKEY root, const char* policyKey, const char* valueName) {
  const RegistryKey opened = OpenRegistryKey(root, policyKey, KEY_READ);
  if (!opened.value) return opened.status;
  DWORD type = REG_NONE;
  DWORD size = 0;
  const LSTATUS status = RegQueryValueExA(opened.value.get(), valueName, nullptr, &type, nullptr, &size);
  return status == ERROR_MORE_DATA ? ERROR_SUCCESS : static_cast<DWORD>(status);
}

}  // namespace

DWORD RegGetPolicyParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer, DWORD size,
                            DWORD flags) {
  if (root == nullptr || subKey == nullptr || valueName == nullptr) {
    return GetRegParameter(root, subKey, valueName, type, buffer, size, flags);
  }
  if (_strnicmp(subKey, kSettingsPrefix, sizeof kSettingsPrefix - 1) != 0) {
    LogPrintf("Error: RegGetPolicyParameter %s\n", valueName);
    return GetRegParameter(root, subKey, valueName, type, buffer, size, flags);
  }
  char policyKey[kPolicyNameSize];
  if (PolicyKeyName(subKey, policyKey) && FindPolicyValue(root, policyKey, valueName) == ERROR_SUCCESS) {
    // Policy wins outright: read-only, and the ordinary key is left alone.
    return GetRegParameter(root, policyKey, valueName, type, buffer, size, flags | RP_READ_ONLY | RP_FROM_POLICY);
  }
  return GetRegParameter(root, subKey, valueName, type, buffer, size, flags);
}

}  // namespace mardonel
