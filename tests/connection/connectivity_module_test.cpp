// The module asking for the managed state through a management point on
// loopback, answering or not.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "common/registry/setting_names.h"
#include "connection/config_mgr_mp_connection.h"
#include "module/managed_network_check.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/fake_clock.h"
#include "support/file_times.h"
#include "support/loopback_listener.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/seconds_taken.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr double kConnectBound = 5.0;  // seconds

TEST(ModuleCheck, ReachedManagementPointMakesTheSubnetManagedAndRemembered) {
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  const CapturedLog log;
  TestHostTable table;
  LoopbackListener listener;
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  const FakeClock clock;
  Mardonel module(
      [name] { return std::make_unique<ConfigMgrMPConnection>([name] { return std::optional<std::wstring>(name); }); },
      clock);
  ASSERT_EQ(module.OnStartup(table.get(), 0), 0u);
  table.Add("192.168.56.1", "255.255.255.0");  // a host-only adapter, which did not answer
  table.Add("127.0.0.1", "255.0.0.0");

  EXPECT_EQ(module.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), TextValue("127.0.0.0"));
  const std::vector<std::string> lines = SplitLines(ReadWholeFile(profile.StatesFolder() + "20261206T.mgt"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",2,Net Adapters changed,"), std::string::npos) << lines[0];
}

TEST(ModuleCheck, UnansweredManagementPointHoldsTheScanForOneBoundedWait) {
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  CapturedLog log;
  TestHostTable table;
  LoopbackListener listener;
  listener.FillBacklog();
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  int asked = 0;
  ManagedNetworkCheck check([name, &asked] {
    return std::make_unique<ConfigMgrMPConnection>([name, &asked] {
      ++asked;
      return std::optional<std::wstring>(name);
    });
  });
  check.Connect(table.get());
  check.LoadManagedSubnets();
  for (const char* address : {"10.1.2.3", "10.2.3.4", "192.168.56.1", "172.17.0.1"}) table.Add(address, "255.255.0.0");

  bool managed = true;
  const double seconds = SecondsTaken([&] { managed = check.IsManagedNetwork(); });

  EXPECT_FALSE(managed);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(log.CountEndingWith(": Failed to connect to MP. Setting status to unmanaged."), 4) << log.Text();
  EXPECT_LT(seconds, 1.3 * kConnectBound) << "one wait for the scan, not one an entry";
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), std::nullopt);
}

}  // namespace

}  // namespace mardonel
