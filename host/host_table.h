// The host's address table: the IPv4 unicast addresses and masks of the
// adapters that are up, laid out as the module expects.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tovera/agent_module.h"

namespace mardonel {

class HostTable {
 public:
  explicit HostTable(bool includeLoopback);
  ~HostTable();
  HostTable(const HostTable&) = delete;
  HostTable& operator=(const HostTable&) = delete;

  // Reads the machine's adapters and swaps the new entries in under the
  // table's lock. On failure the table keeps its entries and the code is
  // returned.
  [[nodiscard]] DWORD Rebuild();

  bool empty();
  // "a.b.c.d/m.m.m.m", one an entry.
  std::vector<std::string> Describe();
  HostAddressTable* get() { return &table_; }

 private:
  HostAddressTable table_;
  std::vector<std::unique_ptr<HostAddressEntry>> entries_;
  std::vector<HostAddressEntry*> pointers_;
  bool includeLoopback_;
};

// Holds the table's lock for one scope.
class TableLock {
 public:
  explicit TableLock(HostAddressTable& table) : lock_(table.lock) { EnterCriticalSection(&lock_); }
  ~TableLock() { LeaveCriticalSection(&lock_); }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

}  // namespace mardonel
