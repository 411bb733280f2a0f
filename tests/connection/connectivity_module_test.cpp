// The module asking for the managed state through the management point check.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "connection/ConfigMgrMPConnection.h"
#include "log_capture.h"
#include "loopback_listener.h"
#include "module/mardonel.h"

namespace {

constexpr char kCommonKey[] = "Software\\Quarnel\\Common";
constexpr char kSubnetsValue[] = "ManagedSubnets";

std::optional<std::string> ReadSubnetsValue() {
  char text[260] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kCommonKey, kSubnetsValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(text);
}

void WriteSubnetsValue(const std::optional<std::string>& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCommonKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (value) {
    RegSetValueExA(key, kSubnetsValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
  } else {
    RegDeleteValueA(key, kSubnetsValue);
  }
  RegCloseKey(key);
}

class ModuleCheck : public testing::Test {
 protected:
  void SetUp() override {
    WriteSubnetsValue(std::nullopt);
    module_.addressTable = table_.get();
  }
  void TearDown() override { WriteSubnetsValue(savedSubnets_); }

  std::vector<std::string> HistoryLines() const {
    const std::string path = profile_.StatesFolder() + TodayUtcHistoryName();
    return FileExists(path) ? SplitLines(ReadWholeFile(path)) : std::vector<std::string>();
  }

  const std::optional<std::string> savedSubnets_ = ReadSubnetsValue();
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
  EXPECT_EQ(ReadSubnetsValue(), std::nullopt);
}

TEST_F(ModuleCheck, ReachedManagementPointMakesTheSubnetManagedAndRemembered) {
  LoopbackListener listener;
  table_.Add("127.0.0.1", "255.0.0.0");
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  module_.connection = std::make_unique<ConfigMgrMPConnection>([name] { return std::optional<std::wstring>(name); });

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_EQ(module_.managedState, kManaged);
  EXPECT_EQ(module_.managedSubnets, std::vector<std::uint32_t>{127u});
  EXPECT_EQ(ReadSubnetsValue(), std::optional<std::string>("127.0.0.0"));
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
  EXPECT_EQ(ReadSubnetsValue(), std::nullopt);
}

}  // namespace
