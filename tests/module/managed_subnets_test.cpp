#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "common/registry/setting_names.h"
#include "module/dotted_address.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/fake_connection.h"
#include "support/registry_witness.h"
#include "support/scratch_registry.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"

namespace mardonel {

namespace {

constexpr char kCommonKeyForRegExe[] = "HKLM\\Software\\Quarnel\\Common";
constexpr char kFailureLine[] = ": Failed to connect to MP. Setting status to unmanaged.";

class ManagedSubnetsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    module_.addressTable = table_.get();
  }

  // `from`: the local address the connection reports, when it reports one.
  void Reachable(bool reachable, const char* from = nullptr) {
    script_.reachable = reachable;
    script_.localAddress = from != nullptr ? std::optional<std::uint32_t>(ParseDottedAddress(from)) : std::nullopt;
    module_.connection = FakeConnectionOf(script_);
  }

  void Remember(std::initializer_list<const char*> subnets) {
    for (const char* subnet : subnets) module_.managedSubnets.push_back(ParseDottedAddress(subnet));
  }

  std::vector<std::string> RememberedTexts() const {
    std::vector<std::string> texts;
    for (const std::uint32_t subnet : module_.managedSubnets) texts.push_back(FormatDottedAddress(nullptr, 0, subnet));
    return texts;
  }

  ScratchMachineRegistry registry_;
  CapturedLog log_;
  TestHostTable table_;
  ConnectionScript script_;
  Mardonel module_;
};

using Texts = std::vector<std::string>;

TEST_F(ManagedSubnetsTest, RememberedSubnetAnswersWithoutAsking) {
  table_.Add("192.168.5.20", "255.255.255.0");
  Remember({"10.9.0.0", "192.168.5.0"});
  Reachable(false);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 0);
  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_FALSE(KeyExists(kCommonKey)) << "nothing new to store";
}

TEST_F(ManagedSubnetsTest, EmptyTableIsUnmanagedWithoutAsking) {
  Reachable(true);
  EXPECT_FALSE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 0);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(ManagedSubnetsTest, StoredZeroMatchesEveryEntryWhoseSubnetIsZero) {
  table_.Add("10.1.2.3", "0.0.0.0");
  Remember({"0.0.0.0"});
  Reachable(false);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 0);
}

TEST_F(ManagedSubnetsTest, OnlyTheEntryThatWasCheckedIsRemembered) {
  table_.Add("10.1.2.3", "255.255.0.0");
  table_.Add("10.2.3.4", "255.255.0.0");
  Reachable(true);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(RememberedTexts(), Texts({"10.1.0.0"}));
  EXPECT_EQ(RegExeQueryValue(kCommonKeyForRegExe, "ManagedSubnets"), (RegExeValue{"REG_SZ", "10.1.0.0"}));

  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1) << "now remembered";
}

TEST_F(ManagedSubnetsTest, UnreachableEntryIsLoggedAndARememberedOneStillCounts) {
  table_.Add("10.1.2.3", "255.255.0.0");
  table_.Add("192.168.5.20", "255.255.255.0");
  Remember({"192.168.5.0"});
  Reachable(false);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(log_.CountEndingWith(kFailureLine), 1);
  EXPECT_EQ(RememberedTexts(), Texts({"192.168.5.0"}));
  EXPECT_FALSE(KeyExists(kCommonKey));
}

TEST_F(ManagedSubnetsTest, UnansweredPointIsAskedOnceAndEveryEntryLoggedWhateverTheDebugMask) {
  for (const char* address : {"10.1.2.3", "10.2.3.4", "192.168.56.1", "172.17.0.1"}) table_.Add(address, "255.255.0.0");
  CapturedLog quiet(0);
  Reachable(false);
  EXPECT_FALSE(module_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(quiet.CountEndingWith(kFailureLine), 4);
  EXPECT_TRUE(module_.managedSubnets.empty());
}

TEST_F(ManagedSubnetsTest, SuccessIsCreditedToTheEntryHoldingTheConnectionsAddress) {
  struct Case {
    const char* from;
    Texts remembered;  // before the scan, then after it
    Texts expected;
    const char* stored;  // null: nothing stored
  };
  // A host-only adapter first, the corporate one second.
  table_.Add("192.168.56.1", "255.255.255.0");
  table_.Add("10.20.30.40", "255.255.0.0");
  const Case cases[] = {
      {"10.20.30.40", {}, {"10.20.0.0"}, "10.20.0.0"},
      {"172.16.0.9", {}, {"192.168.56.0"}, "192.168.56.0"},  // not in the table: the entry at hand
      {"10.20.30.40", {"10.20.0.0"}, {"10.20.0.0"}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + (" after " + std::to_string(c.remembered.size())));
    ASSERT_TRUE(DeleteKeyTree("Software\\Quarnel"));
    module_.managedSubnets.clear();
    for (const std::string& subnet : c.remembered) Remember({subnet.c_str()});
    Reachable(true, c.from);
    EXPECT_TRUE(module_.IsManagedNetwork());
    EXPECT_EQ(RememberedTexts(), c.expected);
    if (c.stored == nullptr) {
      EXPECT_FALSE(KeyExists(kCommonKey));
    } else {
      EXPECT_EQ(RegExeQueryValue(kCommonKeyForRegExe, "ManagedSubnets"), (RegExeValue{"REG_SZ", c.stored}));
    }
  }
}

TEST_F(ManagedSubnetsTest, MissingConnectionCountsAsUnreachable) {
  table_.Add("10.1.2.3", "255.255.0.0");
  EXPECT_FALSE(module_.IsManagedNetwork());
  EXPECT_EQ(log_.CountEndingWith(kFailureLine), 1);
}

TEST_F(ManagedSubnetsTest, SixthSuccessDropsTheOldest) {
  Remember({"10.1.0.0", "10.2.0.0", "10.3.0.0", "10.4.0.0", "10.5.0.0"});
  table_.Add("10.6.7.8", "255.255.0.0");
  Reachable(true);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(RememberedTexts(), Texts({"10.2.0.0", "10.3.0.0", "10.4.0.0", "10.5.0.0", "10.6.0.0"}));
  EXPECT_EQ(RegExeQueryValue(kCommonKeyForRegExe, "ManagedSubnets"),
            (RegExeValue{"REG_SZ", "10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0;10.6.0.0"}));
}

TEST_F(ManagedSubnetsTest, EightLoadedAndOneSuccessKeepTheFiveNewest) {
  Remember({"10.1.0.0", "10.2.0.0", "10.3.0.0", "10.4.0.0", "10.5.0.0", "10.6.0.0", "10.7.0.0", "10.8.0.0"});
  table_.Add("10.9.1.1", "255.255.0.0");
  Reachable(true);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(RememberedTexts(), Texts({"10.5.0.0", "10.6.0.0", "10.7.0.0", "10.8.0.0", "10.9.0.0"}));
  EXPECT_EQ(RegExeQueryValue(kCommonKeyForRegExe, "ManagedSubnets"),
            (RegExeValue{"REG_SZ", "10.5.0.0;10.6.0.0;10.7.0.0;10.8.0.0;10.9.0.0"}));
}

TEST_F(ManagedSubnetsTest, StoredListOfAnotherTypeIsReplacedByText) {
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_MULTI_SZ, std::string("10.1.0.0\0\0", 10));
  table_.Add("172.16.1.1", "255.255.255.0");
  Reachable(true);
  EXPECT_TRUE(module_.IsManagedNetwork());
  EXPECT_EQ(RegExeQueryValue(kCommonKeyForRegExe, "ManagedSubnets"), (RegExeValue{"REG_SZ", "172.16.1.0"}));
}

TEST_F(ManagedSubnetsTest, EmptyListIsStoredAsEmptyText) {
  EXPECT_EQ(module_.SaveManagedSubnets(), 0u);
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), (RawValue{REG_SZ, std::string(1, '\0')}));
}

}  // namespace

}  // namespace mardonel
