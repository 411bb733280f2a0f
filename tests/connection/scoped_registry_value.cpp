#include "scoped_registry_value.h"

ScopedRegistryValue::ScopedRegistryValue(const char* key, const char* name, const std::optional<std::string>& value)
    : key_(key), name_(name), saved_(Read()) {
  Write(value);
}

ScopedRegistryValue::~ScopedRegistryValue() { Write(saved_); }

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
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (value) {
    RegSetValueExA(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
  } else {
    RegDeleteValueA(key, name_.c_str());
  }
  RegCloseKey(key);
}
