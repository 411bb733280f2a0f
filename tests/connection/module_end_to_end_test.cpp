// The DLL as the host drives it, on a machine without the management client.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/registry/setting_names.h"
#include "support/all_history.h"
#include "support/file_times.h"
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

using DestroySlot = void* (*)(void* self, unsigned int flags);
using StartupSlot = DWORD (*)(void* self, HostAddressTable* table, ULONG_PTR reserved);

TEST(ModuleEndToEnd, StartupOnAnUnknownSubnetWithoutTheClientRecordsUnmanaged) {
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  const std::string logPath = temp / "agent.log";
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  StoreText(kSettingsKey, "LogFileName", logPath);
  TestHostTable table;
  table.Add("10.77.3.9", "255.255.255.0");

  LoadedModule library;
  ASSERT_NO_FATAL_FAILURE(library.Load());
  void* (*factory)(void*) = nullptr;
  ASSERT_NO_FATAL_FAILURE(library.Find("__getMardonel", factory));
  void* module = factory(nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(SlotOf<StartupSlot>(module, 1)(module, table.get(), 0), 0u);
  SlotOf<DestroySlot>(module, 0)(module, 1);
  library.Unload();

  const std::string text = FileExists(logPath) ? ReadWholeFile(logPath) : std::string();
  const std::size_t caught =
      text.find(" INFO: Catching and handling HRESULT exception .\\ConfigMgrMPConnection.cpp:30 (0x8004100E)\n\t");
  const std::size_t failed = text.find("Failed to connect to MP");
  ASSERT_NE(caught, std::string::npos) << text;
  ASSERT_NE(failed, std::string::npos) << text;
  EXPECT_LT(caught, failed);

  const std::vector<std::string> records = AllHistoryLines(profile.StatesFolder());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find(",1,Startup,"), std::string::npos) << records[0];
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), std::nullopt);
}

}  // namespace

}  // namespace mardonel
