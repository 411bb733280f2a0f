// The module asking for the managed state through a management point that
// answers on loopback.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "connection/ConfigMgrMPConnection.h"
#include "loopback_listener.h"
#include "module/mardonel.h"
#include "scoped_registry_value.h"
#include "support/test_env.h"

namespace {

TEST(ModuleCheck, ReachedManagementPointMakesTheSubnetManagedAndRemembered) {
  ScopedRegistryValue subnets("Software\\Quarnel\\Common", "ManagedSubnets", std::nullopt);
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  TestHostTable table;
  table.Add("127.0.0.1", "255.0.0.0");
  LoopbackListener listener;
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  Mardonel module;
  module.addressTable = table.get();
  module.connection = std::make_unique<ConfigMgrMPConnection>([name] { return std::optional<std::wstring>(name); });

  EXPECT_EQ(module.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_EQ(module.managedState, kManaged);
  EXPECT_EQ(module.managedSubnets, std::vector<std::uint32_t>{127u});
  EXPECT_EQ(subnets.Read(), std::optional<std::string>("127.0.0.0"));
  const std::vector<std::string> lines = SplitLines(ReadWholeFile(profile.StatesFolder() + TodayUtcHistoryName()));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",2,Net Adapters changed,"), std::string::npos) << lines[0];
}

}  // namespace
