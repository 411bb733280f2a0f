// Where the module's settings lie under HKEY_LOCAL_MACHINE, and their names:
// the module, the host and the tests take them from here.
#pragma once

namespace mardonel {

inline constexpr char kSettingsKey[] = "Software\\Quarnel\\ToveraAgt";
// Values here win over those of kSettingsKey.
inline constexpr char kPolicySettingsKey[] = "Software\\Policies\\Quarnel\\ToveraAgt";
inline constexpr char kCommonKey[] = "Software\\Quarnel\\Common";

inline constexpr char kLogFileNameValue[] = "LogFileName";
inline constexpr char kMaxLogFilesizeValue[] = "MaxLogFilesize";
inline constexpr char kDebugValue[] = "Debug";
// Under kCommonKey.
inline constexpr char kManagedSubnetsValue[] = "ManagedSubnets";

}  // namespace mardonel
