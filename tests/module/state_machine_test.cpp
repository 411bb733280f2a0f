#include <windows.h>
#include <userenv.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/registry/setting_names.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/child_run.h"
#include "support/clear_of_midnight.h"
#include "support/fake_connection.h"
#include "support/file_times.h"
#include "support/managed_subnets_env.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_days.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr std::uint32_t kSubnet10_1 = 10 | (1 << 8);  // 10.1.0.0

struct Record {
  std::uint64_t time;
  std::string stateAndReason;  // "1,Startup"
};

// The host's UTC heartbeat time that the module sees as `local`.
FILETIME HeartbeatAt(std::uint64_t local) {
  const FILETIME probe = FileTimeOf(local);
  FILETIME shifted;
  FileTimeToLocalFileTime(&probe, &shifted);
  return FileTimeOf(local - (FileTimeValue(shifted) - local));
}

class StateMachine : public testing::Test {
 protected:
  // Start-up reads and writes the settings and remembered subnets: a scratch
  // registry holds none; the log goes to the test's folder.
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    WaitClearOfMidnight();
    StoreText(kSettingsKey, kLogFileNameValue, temp_ / "agent.log");
  }

  void Connect(bool reachable) {
    script_.reachable = reachable;
    module_.connection = FakeConnectionOf(script_);
  }

  DWORD StartWithOneAddress(bool reachable) {
    table_.Add("10.1.2.3", "255.255.0.0");
    Connect(reachable);
    return module_.OnStartup(table_.get(), 0);
  }

  // A started module in `state`, with one address and a check that fails.
  void Settle(ManagedState state) {
    table_.Add("10.1.2.3", "255.255.0.0");
    module_.addressTable = table_.get();
    Connect(false);
    module_.managedState = state;
    module_.lastRecordTime = LocalNowFileTime() - 1000;
  }

  std::vector<Record> Records() const {
    std::vector<Record> records;
    const std::string path = profile_.StatesFolder() + TodayUtcHistoryName();
    if (!FileExists(path)) return records;
    for (const std::string& line : SplitLines(ReadWholeFile(path))) {
      const std::size_t first = line.find(',');
      const std::size_t third = line.find(',', line.find(',', first + 1) + 1);
      records.push_back({std::stoull(line.substr(0, first)), line.substr(first + 1, third - first - 1)});
    }
    return records;
  }

  std::vector<std::string> StatesAndReasons() const {
    std::vector<std::string> texts;
    for (const Record& record : Records()) texts.push_back(record.stateAndReason);
    return texts;
  }

  using Texts = std::vector<std::string>;

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  CapturedLog log_;
  ScopedProfileFolder profile_{temp_.path()};
  TestHostTable table_;
  ConnectionScript script_;
  Mardonel module_;
};

// --- start-up ---

// The record carries the time the evaluation began, however long the check.
TEST_F(StateMachine, StartupWithAnAddressRecordsTheCheckedState) {
  script_.delayMs = 500;
  const std::uint64_t before = LocalNowFileTime();
  EXPECT_EQ(StartWithOneAddress(false), 0u);
  const std::uint64_t after = LocalNowFileTime();

  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(module_.managedState, kUnmanaged);
  const std::vector<Record> records = Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].stateAndReason, "1,Startup");
  EXPECT_GE(records[0].time, before);
  EXPECT_LT(records[0].time - before, after - records[0].time);
  EXPECT_EQ(module_.lastRecordTime, records[0].time);
}

TEST_F(StateMachine, StartupThatReachesTheManagementPointIsManaged) {
  EXPECT_EQ(StartWithOneAddress(true), 0u);
  EXPECT_EQ(module_.managedState, kManaged);
  EXPECT_EQ(StatesAndReasons(), Texts{"2,Startup"});
  EXPECT_EQ(module_.managedSubnets, std::vector<std::uint32_t>{kSubnet10_1});
}

TEST_F(StateMachine, StartupKeepsTheGivenConnection) {
  StartWithOneAddress(false);
  EXPECT_FALSE(script_.destroyed);
  EXPECT_NE(dynamic_cast<FakeConnection*>(module_.connection.get()), nullptr);
}

TEST_F(StateMachine, StoredSubnetsAnswerWithoutAskingTheConnection) {
  RememberManagedSubnets(";;10.1.0.0;");
  EXPECT_EQ(StartWithOneAddress(false), 0u);
  EXPECT_EQ(module_.managedSubnets, std::vector<std::uint32_t>{kSubnet10_1});
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(StatesAndReasons(), Texts{"2,Startup"});
}

TEST_F(StateMachine, StartupWithEmptyTableRecordsNothingUntilTheFirstHeartbeat) {
  Connect(true);
  EXPECT_EQ(module_.OnStartup(table_.get(), 0), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(module_.managedState, kUnmanaged);
  EXPECT_EQ(module_.lastRecordTime, 0u);

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  EXPECT_EQ(module_.OnHeartbeat(&now), 0u);
  EXPECT_EQ(StatesAndReasons(), Texts{"1,Heartbeat"});
}

TEST_F(StateMachine, NullTableCountsAsEmpty) {
  Connect(true);
  EXPECT_EQ(module_.OnStartup(nullptr, 0), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(StatesAndReasons(), Texts{"1,Out of suspend"});
}

// --- requests for a state ---

TEST_F(StateMachine, UnforcedRequestForTheCurrentStateChangesNothing) {
  Settle(kUnmanaged);
  const std::uint64_t stored = module_.lastRecordTime;
  EXPECT_EQ(module_.OnSleep(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(false, true), 0u);

  module_.managedState = kManaged;
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);

  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.lastRecordTime, stored);
  EXPECT_EQ(script_.checks, 0);
}

TEST_F(StateMachine, RefusedRequestForManagedRecordsStateOne) {
  Settle(kUnmanaged);
  const std::uint64_t before = LocalNowFileTime();
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);
  EXPECT_EQ(script_.checks, 2);
  EXPECT_EQ(StatesAndReasons(), (Texts{"1,Out of suspend", "1,Net Adapters changed"}));
  EXPECT_GE(module_.lastRecordTime, before);
}

TEST_F(StateMachine, ForcedCheckThatFailsLeavesTheModuleManaged) {
  Settle(kManaged);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), 0u);
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(module_.managedState, kManaged);
  EXPECT_EQ(StatesAndReasons(), Texts{"2,Net Adapters changed"});
}

TEST_F(StateMachine, LoweringEventsRecordStateOne) {
  Settle(kManaged);
  EXPECT_EQ(module_.OnSleep(), 0u);
  module_.managedState = kManaged;
  EXPECT_EQ(module_.OnNetAdaptersChanged(false, true), 0u);
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(StatesAndReasons(), (Texts{"1,Sleep", "1,Net Adapters changed"}));
}

TEST_F(StateMachine, OutOfSuspendTidiesTheFolderEvenWithoutAStateChange) {
  Settle(kManaged);
  std::string states = profile_.StatesFolder();
  ASSERT_TRUE(CreateDirectoryPath(states.data()));
  for (int offset = -30; offset <= 0; ++offset) WriteWholeFile(states + LocalDay(offset).name, "1,1,Startup,x\r\n");

  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_FALSE(FileExists(states + LocalDay(-30).name));
  EXPECT_TRUE(FileExists(states + LocalDay(-29).name));
}

// --- shut-down ---

TEST_F(StateMachine, ShutdownWhenUnmanagedDestroysTheConnectionOnly) {
  Settle(kUnmanaged);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_TRUE(script_.destroyed);
  EXPECT_EQ(module_.connection, nullptr);
  EXPECT_TRUE(Records().empty());
}

TEST_F(StateMachine, ShutdownWhenManagedRecordsStateOne) {
  Settle(kManaged);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_TRUE(script_.destroyed);
  EXPECT_EQ(module_.managedState, kUnmanaged);
  EXPECT_EQ(StatesAndReasons(), Texts{"1,Shutdown"});
}

// --- heartbeat ---

TEST_F(StateMachine, HeartbeatWritesOnlyAfterMoreThanAnHour) {
  Settle(kManaged);
  const std::uint64_t stored = module_.lastRecordTime;
  FILETIME beat = HeartbeatAt(stored + kOneHour);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.lastRecordTime, stored);

  beat = HeartbeatAt(stored + kOneHour + 1);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  const std::vector<Record> records = Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].stateAndReason, "2,Heartbeat");
  EXPECT_EQ(records[0].time, stored + kOneHour + 1);
  EXPECT_EQ(module_.lastRecordTime, stored + kOneHour + 1);
  EXPECT_EQ(script_.checks, 0) << "the heartbeat never checks the state";
}

TEST_F(StateMachine, ClockSetBackWaitsForTheStoredTimeToPass) {
  Settle(kUnmanaged);
  const std::uint64_t stored = module_.lastRecordTime;
  for (const std::uint64_t local : {stored - 10 * kOneHour, stored - 1, stored, stored + kOneHour}) {
    const FILETIME beat = HeartbeatAt(local);
    EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  }
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.lastRecordTime, stored);

  const FILETIME beat = HeartbeatAt(stored + kOneHour + 1);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  EXPECT_EQ(StatesAndReasons(), Texts{"1,Heartbeat"});
}

TEST_F(StateMachine, StoredTimeAtTheTopOfTheRangeDoesNotWrapRound) {
  Settle(kUnmanaged);
  module_.lastRecordTime = std::numeric_limits<std::uint64_t>::max() - 5;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  EXPECT_EQ(module_.OnHeartbeat(&now), 0u);
  EXPECT_TRUE(Records().empty());
}

// The host's time is UTC and the stored time local: the heartbeat tests once
// more nine hours east, in a child, since a process reads its zone at start.
TEST(StateMachineZone, HeartbeatTestsHoldNineHoursEast) {
  EXPECT_TRUE(RunTestsInChild("StateMachine.Heartbeat*:StateMachine.ClockSetBack*", {"TZ=Asia/Tokyo"}));
}

TEST_F(StateMachine, HeartbeatWithoutTimeDoesNothing) {
  Settle(kUnmanaged);
  module_.lastRecordTime = 0;
  EXPECT_EQ(module_.OnHeartbeat(nullptr), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.lastRecordTime, 0u);
}

// --- failures ---

TEST_F(StateMachine, FailedRecordIsTheEventResultButNotTheHeartbeats) {
  char folder[MAX_PATH];
  DWORD size = sizeof folder;
  if (GetAllUsersProfileDirectoryA(folder, &size)) GTEST_SKIP() << "the platform reports the profile folder itself";
  Settle(kManaged);
  SetEnvironmentVariableA("ALLUSERSPROFILE", nullptr);

  const std::uint64_t before = LocalNowFileTime();
  EXPECT_EQ(module_.OnSleep(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_EQ(module_.managedState, kUnmanaged);
  EXPECT_GE(module_.lastRecordTime, before);

  const FILETIME beat = HeartbeatAt(module_.lastRecordTime + 2 * kOneHour);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
}

TEST_F(StateMachine, ExceptionsBecomeResults) {
  table_.Add("10.1.2.3", "255.255.0.0");
  script_.failure = ConnectionScript::Failure::kOutOfMemory;
  Connect(true);
  EXPECT_EQ(module_.OnStartup(table_.get(), 0), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

  script_.failure = ConnectionScript::Failure::kError;
  EXPECT_EQ(module_.OnOutOfSuspend(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_EQ(module_.managedState, kUnmanaged);
}

// --- outside the start-up to shut-down window ---

TEST_F(StateMachine, CallsBeforeStartupAndAfterShutdownDoNotCrash) {
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), 0u);

  module_.addressTable = table_.get();
  table_.Add("10.1.2.3", "255.255.0.0");
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), 0u) << "no connection counts as unreachable";
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.managedState, kUnmanaged);
  EXPECT_EQ(StatesAndReasons(),
            (Texts{"1,Out of suspend", "1,Net Adapters changed", "1,Net Adapters changed", "1,Out of suspend"}));
}

TEST_F(StateMachine, ReservedOperationsDoNothing) {
  Settle(kManaged);
  Tovera::IAgentModule& host = module_;
  EXPECT_EQ(host.ReservedA(), 0u);
  EXPECT_EQ(host.ReservedB(1, 2), 0u);
  EXPECT_EQ(host.ReservedC(-1), 0u);
  EXPECT_EQ(host.ReservedD(3), 0u);
  EXPECT_EQ(host.ReservedE(), 0u);
  EXPECT_EQ(host.ReservedF(), 0u);
  EXPECT_EQ(host.ReservedG(0xFFFF), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.managedState, kManaged);
}

}  // namespace

}  // namespace mardonel
