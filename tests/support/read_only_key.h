// A key of HKEY_LOCAL_MACHINE that refuses to have values set or subkeys
// made, for the life of the object.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win/win_owners.h"

namespace mardonel {

class ScopedReadOnlyKey {
 public:
  // Creates the key when it is missing.
  explicit ScopedReadOnlyKey(const std::string& key);
  ~ScopedReadOnlyKey();
  ScopedReadOnlyKey(const ScopedReadOnlyKey&) = delete;
  ScopedReadOnlyKey& operator=(const ScopedReadOnlyKey&) = delete;
  [[nodiscard]] bool applied() const { return applied_; }

 private:
  unique_hkey key_;
  std::vector<BYTE> saved_;  // the key's own DACL, put back at the end
  bool applied_ = false;
};

// Whether the registry now refuses to let this process set values in `key`.
[[nodiscard]] bool WritesRefused(const std::string& key);

}  // namespace mardonel
