// Drives the DLL as a Microsoft-built host does: LoadLibrary, the factory,
// and the operations through raw vtable slots.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/registry/setting_names.h"
#include "support/all_history.h"
#include "support/file_times.h"
#include "support/history_line.h"
#include "support/loaded_module.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/vtable_slot.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

using Slot0 = void* (*)(void* self, unsigned int flags);
using StartupSlot = DWORD (*)(void* self, HostAddressTable* table, ULONG_PTR reserved);
using NoArgumentSlot = DWORD (*)(void* self);
using HeartbeatSlot = DWORD (*)(void* self, const FILETIME* now);
using TwoFlagSlot = DWORD (*)(void* self, bool connected, bool force);
using TwoWordSlot = DWORD (*)(void* self, ULONG_PTR first, ULONG_PTR second);
using WordSlot = DWORD (*)(void* self, ULONG_PTR value);
using IntSlot = DWORD (*)(void* self, INT32 value);
using ShortSlot = DWORD (*)(void* self, UINT16 value);

class HostSlots : public testing::Test {
 protected:
  // Start-up reads and writes the settings and remembered subnets: a scratch
  // registry holds none; the log goes to the test's folder.
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    StoreText(kSettingsKey, "LogFileName", temp_ / "agent.log");
    ASSERT_NO_FATAL_FAILURE(library_.Load());
    ASSERT_NO_FATAL_FAILURE(library_.Find("__getMardonel", factory_));
  }

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  LoadedModule library_;
  void* (*factory_)(void*) = nullptr;
};

TEST_F(HostSlots, StartupHeartbeatShutdownThroughRawSlots) {
  void* module = factory_(nullptr);
  ASSERT_NE(module, nullptr);
  TestHostTable table;
  table.Add("10.1.2.3", "255.255.0.0");

  const std::uint64_t before = LocalNowFileTime();
  EXPECT_EQ(SlotOf<StartupSlot>(module, 1)(module, table.get(), 0), 0u);
  const std::string states = profile_.StatesFolder();
  const std::string startup = AllHistoryText(states);
  const std::uint64_t recordTime = std::stoull(startup);
  EXPECT_GE(recordTime, before);
  EXPECT_LE(recordTime, LocalNowFileTime());
  EXPECT_EQ(startup, HistoryLine(recordTime, 1, "Startup"));

  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  const std::uint64_t bias = FileTimeValue(local) - FileTimeValue(utc);
  const FILETIME onTheHour = FileTimeOf(recordTime - bias + 36000000000ULL);
  EXPECT_EQ(SlotOf<HeartbeatSlot>(module, 8)(module, &onTheHour), 0u);
  EXPECT_EQ(AllHistoryText(states), startup) << "an hour exactly is not yet more than an hour";

  const FILETIME heartbeat = FileTimeOf(recordTime - bias + 36000000000ULL + 1);
  EXPECT_EQ(SlotOf<HeartbeatSlot>(module, 8)(module, &heartbeat), 0u);
  const std::string withHeartbeat = startup + HistoryLine(recordTime + 36000000000ULL + 1, 1, "Heartbeat");
  EXPECT_EQ(AllHistoryText(states), withHeartbeat);

  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 2)(module), 0u);
  EXPECT_EQ(AllHistoryText(states), withHeartbeat) << "shut-down of an unmanaged module records nothing";

  // Started again, the module makes a check of its own and really asks.
  EXPECT_EQ(SlotOf<StartupSlot>(module, 1)(module, table.get(), 0), 0u);
  const std::string log = ReadWholeFile(temp_ / "agent.log");
  EXPECT_EQ(CountLines(SplitLines(log), " INFO: Catching and handling HRESULT exception "), 2) << log;

  EXPECT_EQ(SlotOf<Slot0>(module, 0)(module, 1), module);
}

TEST_F(HostSlots, EverySlotAnswersInItsPlace) {
  void* module = factory_(nullptr);
  ASSERT_NE(module, nullptr);
  TestHostTable table;
  EXPECT_EQ(SlotOf<StartupSlot>(module, 1)(module, table.get(), 0), 0u);
  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 3)(module), 0u);
  EXPECT_EQ(SlotOf<TwoWordSlot>(module, 4)(module, 1, 2), 0u);
  EXPECT_EQ(SlotOf<IntSlot>(module, 5)(module, -1), 0u);
  EXPECT_EQ(SlotOf<TwoFlagSlot>(module, 6)(module, false, true), 0u);
  EXPECT_EQ(SlotOf<WordSlot>(module, 7)(module, 3), 0u);
  EXPECT_EQ(SlotOf<HeartbeatSlot>(module, 8)(module, nullptr), 0u);
  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 9)(module), 0u);
  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 10)(module), 0u);
  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 12)(module), 0u);
  EXPECT_EQ(SlotOf<ShortSlot>(module, 13)(module, 0xFFFF), 0u);
  const std::string states = profile_.StatesFolder();
  EXPECT_EQ(AllHistoryText(states), "") << "none of these records anything for an unmanaged module";

  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 11)(module), 0u);
  EXPECT_NE(AllHistoryText(states).find(",1,Out of suspend,"), std::string::npos);
  EXPECT_EQ(SlotOf<NoArgumentSlot>(module, 2)(module), 0u);
  EXPECT_EQ(SlotOf<Slot0>(module, 0)(module, 1), module);
}

}  // namespace

}  // namespace mardonel
