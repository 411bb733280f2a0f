// The tests' own hands on the registry: raw values and trees put back as found.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace mardonel {

struct RawValue {
  DWORD type = REG_NONE;
  std::string bytes;  // exactly as stored, terminators included
};
inline bool operator==(const RawValue& left, const RawValue& right) {
  return left.type == right.type && left.bytes == right.bytes;
}
void PrintTo(const RawValue& value, std::ostream* out);
RawValue TextValue(const std::string& text);  // REG_SZ with its terminator
RawValue NumberValue(DWORD number);           // REG_DWORD

// Creates the key chain when missing; replaces any value of that name.
void StoreRawValue(const std::string& key, const std::string& name, DWORD type, const std::string& bytes);
void StoreText(const std::string& key, const std::string& name, const std::string& text);  // REG_SZ, terminated
void StoreNumber(const std::string& key, const std::string& name, DWORD number);           // REG_DWORD
std::optional<RawValue> ReadRawValue(const std::string& key, const std::string& name);
bool KeyExists(const std::string& key);
// Under HKEY_LOCAL_MACHINE; returns whether the key is gone afterwards.
bool DeleteKeyTree(const std::string& key);

// Saves a key of HKEY_LOCAL_MACHINE with everything under it; the destructor
// removes what the test left there and restores the saved content, and
// removes the parent keys that did not exist before when they are empty.
// Only for tests whose other processes (the host) read the real machine
// registry; a test that stays in its own process uses ScratchMachineRegistry.
class ScopedRegistryTree {
 public:
  explicit ScopedRegistryTree(std::string key);
  ~ScopedRegistryTree();
  ScopedRegistryTree(const ScopedRegistryTree&) = delete;
  ScopedRegistryTree& operator=(const ScopedRegistryTree&) = delete;
  const std::string& key() const { return key_; }

  struct SavedValue {
    std::string name;
    RawValue value;
  };
  struct SavedKey {
    std::string name;
    std::vector<SavedValue> values;
    std::vector<SavedKey> subkeys;
  };

 private:
  std::string key_;
  std::optional<SavedKey> saved_;
  std::vector<std::string> missingParents_;  // deepest first
};

// A key name that no other test or run uses, e.g. "Software\Quarnel\Test-12-3".
std::string UniqueTestKey(const std::string& parent);

}  // namespace mardonel
