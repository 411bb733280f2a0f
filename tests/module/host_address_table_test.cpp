// The host's table is read under its lock; a table in a bad shape reads as
// empty or as zero words instead of leading the module into foreign memory.
#include <gtest/gtest.h>

#include "host_address_table.h"
#include "support/test_host_table.h"

namespace mardonel {

namespace {

TEST(HostAddressTable, ReadsWordsInTableOrderAndZeroPastTheEnd) {
  TestHostTable table;
  table.Add("10.1.2.3", "255.255.0.0");
  table.Add("192.168.5.20", "255.255.255.0");
  ASSERT_EQ(GetAddressCount(table.get()), 2u);
  EXPECT_EQ(GetAddressWord(table.get(), 0) & GetMaskWord(table.get(), 0), 0x0000010Au);
  EXPECT_EQ(GetAddressWord(table.get(), 1), 0x1405A8C0u);
  EXPECT_EQ(GetAddressWord(table.get(), 2), 0u);
  EXPECT_EQ(GetMaskWord(table.get(), 0xFFFFFFFFu), 0u);
}

TEST(HostAddressTable, CrossedOrMissingBoundsAndMissingEntriesReadAsNothing) {
  HostAddressEntry entry{0x0100007F, 0x000000FF};
  HostAddressEntry* entries[2] = {&entry, nullptr};
  HostAddressTable table;
  InitializeCriticalSection(&table.lock);

  table.first = entries + 1;
  table.last = entries;
  EXPECT_EQ(GetAddressCount(&table), 0u);
  EXPECT_EQ(GetAddressWord(&table, 0), 0u);

  table.first = nullptr;
  table.last = entries + 2;
  EXPECT_EQ(GetAddressCount(&table), 0u);

  table.first = entries;
  EXPECT_EQ(GetAddressWord(&table, 0), 0x0100007Fu);
  EXPECT_EQ(GetAddressWord(&table, 1), 0u);
  EXPECT_EQ(GetMaskWord(&table, 1), 0u);

  DeleteCriticalSection(&table.lock);
  EXPECT_EQ(GetAddressCount(nullptr), 0u);
}

}  // namespace

}  // namespace mardonel
