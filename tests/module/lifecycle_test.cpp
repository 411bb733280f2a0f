// Whole lives of the module: random sequences of the host's calls, start-ups
// and shut-downs among them, with the registry refusing to store the
// remembered subnets at times, against a small model of what each call must
// record and ask.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/registry/setting_names.h"
#include "common/win/file_time.h"
#include "dotted_address.h"
#include "module/mardonel.h"
#include "support/all_history.h"
#include "support/captured_log.h"
#include "support/fake_clock.h"
#include "support/fake_connection.h"
#include "support/profile_folder.h"
#include "support/read_only_key.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"

namespace mardonel {

namespace {

constexpr std::uint64_t kStart = 134410608000000000ULL;  // 6 December 2026 20:00 UTC
constexpr int kFourteenHoursEast = 14 * 60;
constexpr std::uint64_t kBias = kFourteenHoursEast * kTestHour / 60;
// Short enough that no sequence leaves a day without records to be filled.
constexpr int kCalls = 24;
constexpr std::uint64_t kLongestPause = 40 * kTestHour / 60;

struct Network {
  const char* address;  // null: no IPv4 address
  const char* mask;
  const char* subnet;
};
const Network kNetworks[] = {{nullptr, nullptr, nullptr},
                             {"10.1.2.3", "255.255.0.0", "10.1.0.0"},
                             {"192.168.5.20", "255.255.255.0", "192.168.5.0"}};

// The rules, one state and one table entry at a time.
struct Model {
  void Request(int requested, const char* reason, bool force, std::uint64_t local) {
    if (requested == state && !force) return;
    last = local;
    if (requested == 1) {
      state = 1;
    } else if (network->subnet != nullptr && remembered.count(network->subnet) != 0) {
      state = 2;
    } else if (network->subnet != nullptr && checkHeld) {
      ++asks;
      if (reachable) {
        state = 2;
        remembered.insert(network->subnet);
      }
    }
    Record(reason);
  }

  // The clock only goes forward here.
  void Beat(std::uint64_t local) {
    if (local - last <= kTestHour) return;
    last = local;
    Record("Heartbeat");
  }

  void Record(const char* reason) {
    records.push_back(std::to_string(last) + ',' + std::to_string(state) + ',' + reason);
  }

  int state = 1;
  bool checkHeld = false;  // from start-up to shut-down
  std::uint64_t last = 0;
  std::set<std::string> remembered;  // for the module's life, stored or not
  const Network* network = &kNetworks[0];
  bool reachable = false;
  long asks = 0;
  std::vector<std::string> records;  // "time,state,reason"
};

class Lifecycle : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(registry_.Redirect()); }

  // The records of the history folder without their time text.
  std::vector<std::string> Records() const {
    std::vector<std::string> records;
    for (const std::string& line : AllHistoryLines(profile_.StatesFolder())) {
      records.push_back(line.substr(0, line.rfind(',')));
    }
    return records;
  }

  void Use(const Network& network, bool reachable) {
    model_.network = &network;
    model_.reachable = reachable;
    table_.Clear();
    if (network.address != nullptr) table_.Add(network.address, network.mask);
    script_.reachable = reachable;
    script_.localAddress =
        network.address != nullptr ? std::optional(ParseDottedAddress(network.address)) : std::nullopt;
  }

  // Call `choice` (0: start-up), on the module and on the model; its name.
  std::string Call(Tovera::IAgentModule& host, unsigned choice) {
    clock_.Advance(random_() % kLongestPause);
    const std::uint64_t local = clock_.UtcNow().time_since_epoch().count() + kBias;
    switch (choice) {
      case 0:
        model_.checkHeld = true;
        if (model_.network->address != nullptr) model_.Request(2, "Startup", false, local);
        EXPECT_EQ(host.OnStartup(table_.get(), 0), 0u);
        return "start-up";
      case 1:
        model_.checkHeld = false;
        model_.Request(1, "Shutdown", false, local);
        EXPECT_EQ(host.OnShutdown(), 0u);
        return "shut-down";
      case 2:
        model_.Request(1, "Sleep", false, local);
        EXPECT_EQ(host.OnSleep(), 0u);
        return "sleep";
      case 3:
        model_.Request(2, "Out of suspend", false, local);
        EXPECT_EQ(host.OnOutOfSuspend(), 0u);
        return "resume";
      case 4:
        if (readOnly_) {
          readOnly_.reset();
          return "registry writable";
        }
        readOnly_.emplace(kCommonKey);
        EXPECT_TRUE(readOnly_->applied() && WritesRefused(kCommonKey));
        return "registry read-only";
      case 5: {
        Use(kNetworks[random_() % 3], random_() % 2 == 0);
        const bool connected = random_() % 4 != 0;
        const bool force = random_() % 2 == 0;
        model_.Request(connected ? 2 : 1, "Net Adapters changed", connected && force, local);
        EXPECT_EQ(host.OnNetAdaptersChanged(connected, force), 0u);
        return "network " + std::to_string(model_.network - kNetworks) + (model_.reachable ? " reachable" : "") +
               (connected ? " connected" : "") + (force ? " forced" : "");
      }
      default: {
        model_.Beat(local);
        const FILETIME now = FileTimeOf(clock_.UtcNow());
        EXPECT_EQ(host.OnHeartbeat(&now), 0u);
        return "heartbeat";
      }
    }
  }

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  CapturedLog log_{0};
  TestHostTable table_;
  ConnectionScript script_;
  FakeClock clock_{kStart, kFourteenHoursEast};
  Model model_;
  std::optional<ScopedReadOnlyKey> readOnly_;
  std::mt19937 random_{20261206};
};

TEST_F(Lifecycle, RandomSequencesRecordAndAskAsTheRulesSay) {
  for (int sequence = 0; sequence < 300 && !HasFailure(); ++sequence) {
    readOnly_.reset();
    ASSERT_TRUE(DeleteKeyTree(kCommonKey));
    RemoveDirectoryTree((temp_ / "Application Data").c_str());
    StoreText(kSettingsKey, kLogFileNameValue, log_.path());
    clock_.Set(kStart);
    model_ = Model();
    script_.checks = 0;
    Use(kNetworks[random_() % 3], random_() % 2 == 0);
    Mardonel module(FakeConnectionOf(script_), clock_);
    std::string calls = "sequence " + std::to_string(sequence) + ":";
    for (int call = 0; call < kCalls && !HasFailure(); ++call) {
      calls += " " + Call(module, call == 0 ? 0 : random_() % 8) + ",";
      EXPECT_EQ(Records(), model_.records) << calls;
      EXPECT_EQ(script_.checks, model_.asks) << calls;
      EXPECT_EQ(script_.live, model_.checkHeld ? 1 : 0) << calls;
    }
  }
}

}  // namespace

}  // namespace mardonel
