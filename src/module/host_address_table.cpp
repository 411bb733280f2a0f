#include "host_address_table.h"

namespace mardonel {

namespace {

class TableLock {
 public:
  explicit TableLock(HostAddressTable* table) : table_(table) { EnterCriticalSection(&table_->lock); }
  ~TableLock() { LeaveCriticalSection(&table_->lock); }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;

 private:
  HostAddressTable* table_;
};

// A table whose bounds are crossed or missing reads as empty, and a missing
// entry as zero words, rather than sending the module off into the host's memory.
std::uintptr_t CountLocked(const HostAddressTable* table) {
  if (table->first == nullptr || table->last < table->first) return 0;
  return static_cast<std::uintptr_t>(table->last - table->first);
}

template <typename ReadWord>
std::uint32_t ReadEntryWord(HostAddressTable* table, std::uint32_t index, ReadWord readWord) {
  if (table == nullptr) return 0;
  TableLock lock(table);
  if (index >= CountLocked(table) || table->first[index] == nullptr) return 0;
  return readWord(*table->first[index]);
}

}  // namespace

std::uintptr_t GetAddressCount(HostAddressTable* table) {
  if (table == nullptr) return 0;
  TableLock lock(table);
  return CountLocked(table);
}

std::uint32_t GetAddressWord(HostAddressTable* table, std::uint32_t index) {
  return ReadEntryWord(table, index, [](const HostAddressEntry& entry) { return entry.addressWord; });
}

std::uint32_t GetMaskWord(HostAddressTable* table, std::uint32_t index) {
  return ReadEntryWord(table, index, [](const HostAddressEntry& entry) { return entry.maskWord; });
}

std::optional<std::uint32_t> FindSubnetOfAddress(HostAddressTable* table, std::uint32_t address) {
  const std::uintptr_t count = GetAddressCount(table);
  for (std::uintptr_t index = 0; index < count; ++index) {
    const auto entry = static_cast<std::uint32_t>(index);
    if (GetAddressWord(table, entry) == address) return address & GetMaskWord(table, entry);
  }
  return std::nullopt;
}

}  // namespace mardonel
