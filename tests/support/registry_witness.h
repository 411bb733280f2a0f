// Wine's own reg.exe, a reader we did not write, as the witness of what is
// stored in the registry.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace mardonel {

struct RegExeValue {
  std::string type;  // as reg.exe names it, e.g. "REG_DWORD"
  std::string data;  // as reg.exe prints it, e.g. "0x64"
};
inline bool operator==(const RegExeValue& left, const RegExeValue& right) {
  return left.type == right.type && left.data == right.data;
}
inline void PrintTo(const RegExeValue& value, std::ostream* out) { *out << value.type << " \"" << value.data << '"'; }

// The values of `key` (e.g. "HKLM\\Software\\Quarnel\\Common") as
// "reg.exe query" lists them; nothing when reg.exe reports no such key.
std::optional<std::map<std::string, RegExeValue>> RegExeQueryKey(const std::string& key);

// One value as "reg.exe query KEY /v NAME" shows it; nothing when it is missing.
std::optional<RegExeValue> RegExeQueryValue(const std::string& key, const std::string& name);

}  // namespace mardonel
