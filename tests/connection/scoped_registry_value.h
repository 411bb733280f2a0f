// A machine registry text value set (or removed) for the length of a test;
// afterwards the value is put back as it was, and keys that did not exist
// before are removed with everything written under them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class ScopedRegistryValue {
 public:
  ScopedRegistryValue(const char* key, const char* name, const std::optional<std::string>& value);
  ~ScopedRegistryValue();
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

  std::optional<std::string> Read() const;

 private:
  void Write(const std::optional<std::string>& value) const;

  std::string key_;
  std::string name_;
  std::string firstMissingKey_;  // empty when the whole path existed
  std::optional<std::string> saved_;
};
