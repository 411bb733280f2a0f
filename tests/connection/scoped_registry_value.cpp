#include "scoped_registry_value.h"

namespace {

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string FirstMissingKey(const std::string& path) {
  for (std::size_t end = path.find('\\'); ; end = path.find('\\', end + 1)) {
    const std::string prefix = path.substr(0, end);
    if (!KeyExists(prefix)) return prefix;
    if (end == std::string::npos) return std::string();
  }
}

}  // namespace

ScopedRegistryValue::ScopedRegistryValue(const char* key, const char* name, const std::optional<std::string>& value)
    : key_(key), name_(name), firstMissingKey_(FirstMissingKey(key_)), saved_(Read()) {
  Write(value);
}

ScopedRegistryValue::~ScopedRegistryValue() {
  if (firstMissingKey_.empty()) {
    Write(saved_);
  } else {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, firstMissingKey_.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, firstMissingKey_.c_str());
  }
}

std::optional<std::string> ScopedRegistryValue::Read() const {
  char text[1024] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(text);
}

void ScopedRegistryValue::Write(const std::optional<std::string>& value) const {
  HKEY key = nullptr;
  if (!value) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name_.c_str());
    RegCloseKey(key);
    return;
  }
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                 static_cast<DWORD>(value->size() + 1));
  RegCloseKey(key);
}
