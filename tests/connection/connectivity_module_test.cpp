// The module asking for the managed state through the management point check.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "connection/ConfigMgrMPConnection.h"
#include "log_capture.h"
#include "loopback_listener.h"
#include "module/mardonel.h"
#include "scoped_registry_value.h"

namespace {

class ModuleCheck : public testing::Test {
 protected:
  void SetUp() override { module_.addressTable = table_.get(); }

  std::vector<std::string> HistoryLines() const {
    const std::string path = profile_.StatesFolder() + TodayUtcHistoryName();
    return FileExists(path) ? SplitLines(ReadWholeFile(path)) : std::vector<std::string>();
  }

  ScopedRegistryValue subnets_{"Software\\Quarnel\\Common", "ManagedSubnets", std::nullopt};
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  TestHostTable table_;
  Mardonel module_;
};

TEST_F(ModuleCheck, WithoutTheManagementClientTheStateStaysUnmanaged) {
  table_.Add("10.1.2.3", "255.255.0.0");
  module_.connection = std::make_unique<ConfigMgrMPConnection>();
  LogCapture log(0x09);

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_EQ(module_.managedState, kUnmanaged);
  EXPECT_TRUE(module_.managedSubnets.empty());
  const std::string text = log.Text();
  const std::size_t caught = text.find(" INFO: Catching and handling HRESULT exception .\\ConfigMgrMPConnection.cpp:30 (0x8004100E)");
  const std::size_t failed = text.find("Failed to connect to MP");
  ASSERT_NE(caught, std::string::npos) << text;
  ASSERT_NE(failed, std::string::npos) << text;
  EXPECT_LT(caught, failed);
  const std::vector<std::string> lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",1,Net Adapters changed,"), std::string::npos) << lines[0];
  EXPECT_EQ(subnets_.Read(), std::nullopt);
}

TEST_F(ModuleCheck, ReachedManagementPointMakesTheSubnetManagedAndRemembered) {
  LoopbackListener listener;
  table_.Add("127.0.0.1", "255.0.0.0");
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  module_.connection = std::make_unique<ConfigMgrMPConnection>([name] { return std::optional<std::wstring>(name); });

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_EQ(module_.managedState, kManaged);
  EXPECT_EQ(module_.managedSubnets, std::vector<std::uint32_t>{127u});
  EXPECT_EQ(subnets_.Read(), std::optional<std::string>("127.0.0.0"));
  const std::vector<std::string> lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",2,Net Adapters changed,"), std::string::npos) << lines[0];
}

TEST_F(ModuleCheck, UnreachedManagementPointLeavesTheSubnetUnknown) {
  table_.Add("127.0.0.1", "255.0.0.0");
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(ClosedLoopbackPort());
  module_.connection = std::make_unique<ConfigMgrMPConnection>([name] { return std::optional<std::wstring>(name); });

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_EQ(module_.managedState, kUnmanaged);
  EXPECT_TRUE(module_.managedSubnets.empty());
  EXPECT_EQ(subnets_.Read(), std::nullopt);
}

}  // namespace
