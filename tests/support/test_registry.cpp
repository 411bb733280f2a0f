#include "support/test_registry.h"

#include <atomic>
#include <cstdio>

#include "common/win/win_owners.h"

namespace mardonel {

namespace {

std::atomic<int> keyCounter{0};

unique_hkey Open(HKEY root, const std::string& key, REGSAM access) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, access, &handle) != ERROR_SUCCESS) return unique_hkey();
  return unique_hkey(handle);
}

ScopedRegistryTree::SavedKey Save(HKEY key, const std::string& name) {
  ScopedRegistryTree::SavedKey saved{name, {}, {}};
  DWORD maxName = 0;
  DWORD maxValueName = 0;
  DWORD maxData = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxName, nullptr, nullptr, &maxValueName, &maxData,
                   nullptr, nullptr);
  for (DWORD index = 0;; ++index) {
    std::string valueName(maxValueName + 1, '\0');
    std::string data(maxData, '\0');
    DWORD nameLength = valueName.size();
    DWORD dataLength = data.size();
    DWORD type = REG_NONE;
    if (RegEnumValueA(key, index, valueName.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &dataLength) != ERROR_SUCCESS) {
      break;
    }
    saved.values.push_back({valueName.substr(0, nameLength), RawValue{type, data.substr(0, dataLength)}});
  }
  for (DWORD index = 0;; ++index) {
    std::string subName(maxName + 1, '\0');
    DWORD nameLength = subName.size();
    if (RegEnumKeyExA(key, index, subName.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    subName.resize(nameLength);
    if (unique_hkey sub = Open(key, subName, KEY_READ)) saved.subkeys.push_back(Save(sub.get(), subName));
  }
  return saved;
}

void Restore(const std::string& key, const ScopedRegistryTree::SavedKey& saved) {
  HKEY handle = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
  unique_hkey owner(handle);
  for (const auto& value : saved.values) {
    RegSetValueExA(handle, value.name.c_str(), 0, value.value.type,
                   reinterpret_cast<const BYTE*>(value.value.bytes.data()), value.value.bytes.size());
  }
  for (const auto& sub : saved.subkeys) Restore(key + "\\" + sub.name, sub);
}

}  // namespace

void PrintTo(const RawValue& value, std::ostream* out) {
  *out << "type " << value.type << " bytes \"";
  for (const char c : value.bytes) {
    if (c >= ' ' && c <= '~') {
      *out << c;
    } else {
      *out << "\\x" << std::hex << (static_cast<unsigned>(c) & 0xFF) << std::dec;
    }
  }
  *out << '"';
}

RawValue TextValue(const std::string& text) { return RawValue{REG_SZ, std::string(text.c_str(), text.size() + 1)}; }

RawValue NumberValue(DWORD number) {
  return RawValue{REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number)};
}

void StoreRawValue(const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  HKEY handle = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
  unique_hkey owner(handle);
  RegDeleteValueA(handle, name.c_str());
  RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
}

void StoreText(const std::string& key, const std::string& name, const std::string& text) {
  StoreRawValue(key, name, REG_SZ, TextValue(text).bytes);
}

void StoreNumber(const std::string& key, const std::string& name, DWORD number) {
  StoreRawValue(key, name, REG_DWORD, NumberValue(number).bytes);
}

std::optional<RawValue> ReadRawValue(const std::string& key, const std::string& name) {
  unique_hkey handle = Open(HKEY_LOCAL_MACHINE, key, KEY_READ);
  if (!handle) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  RegQueryValueExA(handle.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
  value.bytes.resize(size);
  return value;
}

bool KeyExists(const std::string& key) { return static_cast<bool>(Open(HKEY_LOCAL_MACHINE, key, KEY_READ)); }

bool DeleteKeyTree(const std::string& key) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  return !KeyExists(key);
}

ScopedRegistryTree::ScopedRegistryTree(std::string key) : key_(std::move(key)) {
  if (unique_hkey handle = Open(HKEY_LOCAL_MACHINE, key_, KEY_READ)) {
    saved_ = Save(handle.get(), key_);
    return;
  }
  for (std::size_t cut = key_.rfind('\\'); cut != std::string::npos; cut = key_.rfind('\\', cut - 1)) {
    const std::string parent = key_.substr(0, cut);
    if (KeyExists(parent)) break;
    missingParents_.push_back(parent);
    if (cut == 0) break;
  }
}

ScopedRegistryTree::~ScopedRegistryTree() {
  DeleteKeyTree(key_);
  if (saved_) Restore(key_, *saved_);
  for (const std::string& parent : missingParents_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, parent.c_str());
}

std::string UniqueTestKey(const std::string& parent) {
  char name[96];
  std::snprintf(name, sizeof name, "\\Test-%lu-%d-%lu", GetCurrentProcessId(), keyCounter++, GetTickCount());
  return parent + name;
}

}  // namespace mardonel
