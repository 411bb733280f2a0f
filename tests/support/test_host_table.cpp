#include "support/test_host_table.h"

#include <cstdint>
#include <cstdio>

namespace mardonel {

std::uint32_t DottedToWord(const char* text) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  std::sscanf(text, "%u.%u.%u.%u", &a, &b, &c, &d);
  return a | (b << 8) | (c << 16) | (d << 24);
}

TestHostTable::TestHostTable() {
  InitializeCriticalSection(&table_.lock);
  table_.first = nullptr;
  table_.last = nullptr;
}

TestHostTable::~TestHostTable() {
  Clear();
  DeleteCriticalSection(&table_.lock);
}

void TestHostTable::Add(const char* address, const char* mask) {
  EnterCriticalSection(&table_.lock);
  entries_.push_back(new HostAddressEntry{DottedToWord(address), DottedToWord(mask)});
  Publish();
  LeaveCriticalSection(&table_.lock);
}

void TestHostTable::Clear() {
  EnterCriticalSection(&table_.lock);
  for (HostAddressEntry* entry : entries_) delete entry;
  entries_.clear();
  Publish();
  LeaveCriticalSection(&table_.lock);
}

void TestHostTable::Publish() {
  table_.first = entries_.data();
  table_.last = entries_.data() + entries_.size();
}

}  // namespace mardonel
