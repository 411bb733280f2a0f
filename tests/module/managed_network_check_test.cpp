#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/registry/setting_names.h"
#include "dotted_address.h"
#include "module/managed_network_check.h"
#include "support/captured_log.h"
#include "support/fake_connection.h"
#include "support/managed_subnets_env.h"
#include "support/registry_witness.h"
#include "support/scratch_registry.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"

namespace mardonel {

namespace {

constexpr char kCommonKeyForRegExe[] = "HKLM\\Software\\Quarnel\\Common";
constexpr char kFailureLine[] = ": Failed to connect to MP. Setting status to unmanaged.";
constexpr char kNotCredited[] =
    ": Reached the MP from an address outside the IPv4 address table; no subnet remembered.";

// The check connected to an empty table, which the tests then fill, with the
// remembered subnets loaded.
class ManagedSubnetsTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(registry_.Redirect()); }

  void Start(const char* remembered = nullptr) {
    if (remembered != nullptr) RememberManagedSubnets(remembered);
    table_.Clear();
    check_.Connect(table_.get());
    check_.LoadManagedSubnets();
  }

  // `from`: the local address the connection reports, when it reports one.
  void Reachable(bool reachable, const char* from = nullptr) {
    script_.reachable = reachable;
    script_.localAddress = from != nullptr ? std::optional<std::uint32_t>(ParseDottedAddress(from)) : std::nullopt;
  }

  static std::optional<RegExeValue> Stored() { return RegExeQueryValue(kCommonKeyForRegExe, "ManagedSubnets"); }
  static RegExeValue Text(const char* text) { return RegExeValue{"REG_SZ", text}; }

  ScratchMachineRegistry registry_;
  CapturedLog log_;
  TestHostTable table_;
  ConnectionScript script_;
  ManagedNetworkCheck check_{FakeConnectionOf(script_)};
};

TEST_F(ManagedSubnetsTest, RememberedSubnetAnswersWithoutAsking) {
  const struct {
    const char* stored;
    const char* address;
    const char* mask;
  } cases[] = {
      {"10.9.0.0;192.168.5.0", "192.168.5.20", "255.255.255.0"},
      {"0.0.0.0", "10.1.2.3", "0.0.0.0"},  // a stored 0 matches every entry whose subnet is 0
  };
  Reachable(false);
  for (const auto& c : cases) {
    Start(c.stored);
    table_.Add(c.address, c.mask);
    EXPECT_TRUE(check_.IsManagedNetwork()) << c.stored;
    EXPECT_EQ(Stored(), Text(c.stored)) << "nothing new to store";
  }
  EXPECT_EQ(script_.checks, 0);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(ManagedSubnetsTest, EmptyTableIsUnmanagedWithoutAsking) {
  Start();
  Reachable(true);
  EXPECT_FALSE(check_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 0);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(ManagedSubnetsTest, OnlyTheEntryThatWasCheckedIsRemembered) {
  Start();
  table_.Add("10.1.2.3", "255.255.0.0");
  table_.Add("10.2.3.4", "255.255.0.0");
  Reachable(true, "10.1.2.3");
  EXPECT_TRUE(check_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(Stored(), Text("10.1.0.0"));

  EXPECT_TRUE(check_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1) << "now remembered";
}

TEST_F(ManagedSubnetsTest, UnreachableEntryIsLoggedAndARememberedOneStillCounts) {
  Start("192.168.5.0");
  table_.Add("10.1.2.3", "255.255.0.0");
  table_.Add("192.168.5.20", "255.255.255.0");
  Reachable(false);
  EXPECT_TRUE(check_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(log_.CountEndingWith(kFailureLine), 1);
  EXPECT_EQ(Stored(), Text("192.168.5.0"));
}

TEST_F(ManagedSubnetsTest, UnansweredPointIsAskedOnceAndEveryEntryLoggedWhateverTheDebugMask) {
  Start();
  for (const char* address : {"10.1.2.3", "10.2.3.4", "192.168.56.1", "172.17.0.1"}) table_.Add(address, "255.255.0.0");
  CapturedLog quiet(0);
  Reachable(false);
  EXPECT_FALSE(check_.IsManagedNetwork());
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(quiet.CountEndingWith(kFailureLine), 4);
  EXPECT_FALSE(KeyExists(kCommonKey));
}

// Only the adapter that reached the point earns the credit: a connection
// from an address the IPv4 table does not hold (over IPv6, or from an
// adapter the table lacks) is managed for this evaluation and remembers
// nothing.
TEST_F(ManagedSubnetsTest, SuccessIsCreditedOnlyToTheEntryHoldingTheConnectionsAddress) {
  struct Case {
    const char* from;        // null: no IPv4 address
    const char* remembered;  // before the scan
    const char* stored;      // after it; null: nothing
  };
  const Case cases[] = {
      {"10.20.30.40", nullptr, "10.20.0.0"},
      {"10.20.30.40", "10.20.0.0", "10.20.0.0"},
      {"172.16.0.9", nullptr, nullptr},
      {nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from != nullptr ? c.from : "IPv6");
    ASSERT_TRUE(DeleteKeyTree("Software\\Quarnel"));
    Start(c.remembered);
    // A host-only adapter first, the corporate one second.
    table_.Add("192.168.56.1", "255.255.255.0");
    table_.Add("10.20.30.40", "255.255.0.0");
    Reachable(true, c.from);
    // Informational: written only under bit 0x10.
    for (const std::uint32_t mask : {0x09u, 0x19u}) {
      log_.SetDebugMask(mask);
      const int before = log_.CountEndingWith(kNotCredited);
      EXPECT_TRUE(check_.IsManagedNetwork());
      EXPECT_EQ(Stored(), c.stored != nullptr ? std::optional<RegExeValue>(Text(c.stored)) : std::nullopt);
      EXPECT_EQ(log_.CountEndingWith(kNotCredited) - before, c.stored == nullptr && mask == 0x19u ? 1 : 0) << mask;
    }
  }
}

TEST_F(ManagedSubnetsTest, NoConnectionAfterShutdownCountsAsUnreachable) {
  Start();
  check_.Disconnect();
  table_.Add("10.1.2.3", "255.255.0.0");
  EXPECT_FALSE(check_.IsManagedNetwork());
  EXPECT_EQ(log_.CountEndingWith(kFailureLine), 1);
}

// Entries not taken stay, and answer for nothing (266.9.0.0 read loosely is
// 10.9.0.0); subnets that would make the value too long to read are left out.
TEST_F(ManagedSubnetsTest, SuccessKeepsTheFiveNewestOfWhatWasLoaded) {
  const std::string x235(235, 'x');
  const struct {
    std::string loaded;
    std::string stored;
  } cases[] = {
      {"10.1.0.0;10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0", "10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0;10.9.0.0"},
      {"10.1.0.0;10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0;10.6.0.0;10.7.0.0;10.8.0.0",
       "10.5.0.0;10.6.0.0;10.7.0.0;10.8.0.0;10.9.0.0"},
      {"10.1;266.9.0.0;10.0.0.0/8; 10.9.0.0.5 ;10.2.0.0", "266.9.0.0;10.9.0.0.5;10.1.0.0;10.0.0.0;10.2.0.0;10.9.0.0"},
      {x235 + ";10.1.0.0;10.2.0.0", x235 + ";10.2.0.0;10.9.0.0"},
  };
  Reachable(true, "10.9.1.1");
  table_.Add("10.9.1.1", "255.255.0.0");
  for (const auto& c : cases) {
    // A check of its own: a check keeps what it learnt across loads.
    ManagedNetworkCheck check(FakeConnectionOf(script_));
    RememberManagedSubnets(c.loaded.c_str());
    check.Connect(table_.get());
    check.LoadManagedSubnets();
    EXPECT_TRUE(check.IsManagedNetwork());
    EXPECT_EQ(Stored(), Text(c.stored.c_str()));
  }
  EXPECT_EQ(log_.CountEndingWith(": ManagedSubnets leaves out the 1 oldest subnet(s): the entries not taken leave no "
                                 "room; they stay remembered in memory"),
            1);
}

TEST_F(ManagedSubnetsTest, StoredListOfAnotherTypeIsReplacedByText) {
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_MULTI_SZ, std::string("10.1.0.0\0\0", 10));
  Start();
  table_.Add("172.16.1.1", "255.255.255.0");
  Reachable(true, "172.16.1.1");
  EXPECT_TRUE(check_.IsManagedNetwork());
  EXPECT_EQ(Stored(), Text("172.16.1.0"));
}

}  // namespace

}  // namespace mardonel
