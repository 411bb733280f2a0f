// A host address table laid out as the host lays it out.
#pragma once

#include <cstdint>
#include <vector>

#include "tovera/agent_module.h"

namespace mardonel {

// The word the host stores for a dotted address, first octet lowest.
std::uint32_t DottedToWord(const char* text);

class TestHostTable {
 public:
  TestHostTable();
  ~TestHostTable();
  TestHostTable(const TestHostTable&) = delete;
  TestHostTable& operator=(const TestHostTable&) = delete;
  // Dotted address and mask, as the host stores them.
  void Add(const char* address, const char* mask);
  void Clear();
  HostAddressTable* get() { return &table_; }

 private:
  void Publish();
  HostAddressTable table_;
  std::vector<HostAddressEntry*> entries_;
};

}  // namespace mardonel
