// Where the module's settings lie under HKEY_LOCAL_MACHINE, and their names:
// the module, the host and the tests take them from here.
#pragma once

#include <string>
#include <string_view>

namespace mardonel {

inline constexpr std::string_view kSettingsRoot = "Software\\Quarnel\\";
inline constexpr std::string_view kPolicyRoot = "Software\\Policies\\Quarnel\\";
inline constexpr char kSettingsKey[] = "Software\\Quarnel\\ToveraAgt";
inline constexpr char kCommonKey[] = "Software\\Quarnel\\Common";

inline constexpr char kLogFileNameValue[] = "LogFileName";
inline constexpr char kMaxLogFilesizeValue[] = "MaxLogFilesize";
inline constexpr char kDebugValue[] = "Debug";
// Under kCommonKey.
inline constexpr char kManagedSubnetsValue[] = "ManagedSubnets";

// The policy twin of a key under kSettingsRoot, whose values win over the
// key's own: Software\Quarnel\X becomes Software\Policies\Quarnel\X.
inline std::string PolicyKeyOf(std::string_view settingsKey) {
  return std::string(kPolicyRoot) + std::string(settingsKey.substr(kSettingsRoot.size()));
}

}  // namespace mardonel
