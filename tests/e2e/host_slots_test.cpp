// Drives the DLL as a Microsoft-built host does: LoadLibrary, the factory,
// and the operations through raw vtable slots.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace {

using Slot0 = void* (*)(void* self, unsigned int flags);
using StartupSlot = DWORD (*)(void* self, HostAddressTable* table, ULONG_PTR reserved);
using NoArgumentSlot = DWORD (*)(void* self);
using HeartbeatSlot = DWORD (*)(void* self, const FILETIME* now);

template <typename Function>
Function SlotOf(void* module, int index) {
  void** vtable = *static_cast<void***>(module);
  return reinterpret_cast<Function>(vtable[index]);
}

class HostSlots : public testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA("Mardonel.dll");
    ASSERT_NE(library_, nullptr);
    factory_ = reinterpret_cast<void* (*)(void*)>(reinterpret_cast<void*>(GetProcAddress(library_, "__getMardonel")));
    ASSERT_NE(factory_, nullptr);
  }
  void TearDown() override {
    if (library_ != nullptr) FreeLibrary(library_);
  }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  HMODULE library_ = nullptr;
  void* (*factory_)(void*) = nullptr;
};

TEST_F(HostSlots, StartupHeartbeatShutdownThroughRawSlots) {
  void* module = factory_(nullptr);
  ASSERT_NE(module, nullptr);
  TestHostTable table;
  table.Add("10.1.2.3", "255.255.0.0");

  const std::uint64_t before = LocalNowFileTime();
  EXPECT_EQ(SlotOf<StartupSlot>(module, 1)(module, table.get(), 0), 0u);
  const std::string path = profile_.StatesFolder() + TodayUtcHistoryName();
  std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
  ASSERT_EQ(lines.size(), 1u);
  const std::uint64_t recordTime = std::stoull(lines[0]);
  EXPECT_GE(recordTime, before);
  EXPECT_NE(lines[0].find(",1,Startup,"), std::string::npos);

  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  const std::uint64_t bias = FileTimeValue(local) - FileTimeValue(utc);
  const FILETIME heartbeat = FileTimeOf(recordTime - bias + 36000000000ULL + 1);
  EXPECT_EQ(SlotOf<HeartbeatSlot>(module, 8)(module, &heartbeat), 0u);
  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 2)(module), 0u);

  lines = SplitLines(ReadWholeFile(path));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, lines[1].find(',')), std::to_string(recordTime + 36000000000ULL + 1));
  EXPECT_NE(lines[1].find(",1,Heartbeat,"), std::string::npos);

  EXPECT_EQ(SlotOf<Slot0>(module, 0)(module, 1), module);
}

}  // namespace
