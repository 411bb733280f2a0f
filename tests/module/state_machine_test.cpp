#include <windows.h>
#include <userenv.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/registry/setting_names.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/fake_clock.h"
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

// The module runs nine hours east of UTC, so that a heartbeat's UTC time and
// the local record times differ, and so do the UTC day that names the file
// and the local day of the records.
constexpr int kNineHoursEast = 9 * 60;
constexpr std::uint64_t kStart = 134410608000000000ULL;       // 6 December 2026 20:00 UTC
constexpr std::uint64_t kStartLocal = 134410932000000000ULL;  // 7 December 2026 05:00 local
constexpr char kStartFile[] = "20261206T.mgt";

struct Record {
  std::uint64_t time;
  std::string stateAndReason;  // "1,Startup"
  bool operator==(const Record&) const = default;
};

void PrintTo(const Record& record, std::ostream* out) { *out << record.time << ',' << record.stateAndReason; }

// The host's UTC heartbeat time that the module sees as `local`.
FILETIME HeartbeatAt(std::uint64_t local) { return FileTimeOf(local - 9 * kTestHour); }

class StateMachine : public testing::Test {
 protected:
  // Start-up reads and writes the settings and remembered subnets: a scratch
  // registry holds none; the log goes to the test's folder.
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    StoreText(kSettingsKey, kLogFileNameValue, temp_ / "agent.log");
  }

  DWORD StartWithOneAddress(bool reachable) {
    table_.Add("10.1.2.3", "255.255.0.0");
    script_.reachable = reachable;
    return module_.OnStartup(table_.get(), 0);
  }

  // A module started at kStart in `state` on 10.1.0.0, which it remembers
  // when managed and the point does not answer; the records that follow are
  // the test's own.
  void Settle(ManagedState state) {
    if (state == kManaged) RememberManagedSubnets("10.1.0.0");
    ASSERT_EQ(StartWithOneAddress(false), 0u);
    script_.checks = 0;
    ASSERT_TRUE(DeleteFileA(TodayPath().c_str()));
  }

  void MoveToAnUnknownSubnet() {
    table_.Clear();
    table_.Add("10.2.3.4", "255.255.0.0");
  }

  std::string TodayPath() const { return profile_.StatesFolder() + kStartFile; }

  std::vector<Record> Records() const {
    std::vector<Record> records;
    if (!FileExists(TodayPath())) return records;
    for (const std::string& line : SplitLines(ReadWholeFile(TodayPath()))) {
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
  using RecordList = std::vector<Record>;

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  CapturedLog log_;
  ScopedProfileFolder profile_{temp_.path()};
  TestHostTable table_;
  ConnectionScript script_;
  FakeClock clock_{kStart, kNineHoursEast};
  Mardonel module_{FakeConnectionOf(script_), clock_};
};

// --- start-up ---

// The record carries the time the evaluation began, however long the check.
TEST_F(StateMachine, StartupWithAnAddressRecordsTheCheckedStateWithTheGivenConnection) {
  script_.duringCheck = [this] { clock_.Advance(kTestHour); };
  EXPECT_EQ(StartWithOneAddress(false), 0u);
  EXPECT_EQ(script_.checks, 1);
  EXPECT_FALSE(script_.destroyed);
  EXPECT_EQ(Records(), (RecordList{{kStartLocal, "1,Startup"}}));
}

TEST_F(StateMachine, StartupThatReachesTheManagementPointIsManagedAndRemembersTheSubnet) {
  script_.localAddress = 0x0302010A;  // 10.1.2.3
  EXPECT_EQ(StartWithOneAddress(true), 0u);
  EXPECT_EQ(StatesAndReasons(), Texts{"2,Startup"});
  EXPECT_EQ(ReadRawValue(kCommonKey, kManagedSubnetsValue), TextValue("10.1.0.0"));
}

TEST_F(StateMachine, StoredSubnetsAnswerWithoutAskingTheConnection) {
  RememberManagedSubnets(";;10.1.0.0;");
  EXPECT_EQ(StartWithOneAddress(false), 0u);
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(StatesAndReasons(), Texts{"2,Startup"});
}

TEST_F(StateMachine, StartupWithEmptyTableRecordsNothingUntilTheFirstHeartbeatWithATime) {
  script_.reachable = true;
  EXPECT_EQ(module_.OnStartup(table_.get(), 0), 0u);
  EXPECT_EQ(module_.OnHeartbeat(nullptr), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(script_.checks, 0);

  const FILETIME now = FileTimeOf(kStart);
  EXPECT_EQ(module_.OnHeartbeat(&now), 0u);
  EXPECT_EQ(Records(), (RecordList{{kStartLocal, "1,Heartbeat"}}));
}

TEST_F(StateMachine, NullTableCountsAsEmpty) {
  script_.reachable = true;
  EXPECT_EQ(module_.OnStartup(nullptr, 0), 0u);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(StatesAndReasons(), Texts{"1,Out of suspend"});
}

// --- requests for a state ---

// Neither records nor postpones the next heartbeat, in either state.
TEST_F(StateMachine, UnforcedRequestForTheCurrentStateChangesNothing) {
  Settle(kManaged);
  clock_.Advance(kTestHour / 6);
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);
  FILETIME beat = HeartbeatAt(kStartLocal + kTestHour + 1);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);

  clock_.Set(kStart + kTestHour + kTestHour / 6);
  EXPECT_EQ(module_.OnSleep(), 0u);
  clock_.Advance(kTestHour / 6);
  EXPECT_EQ(module_.OnSleep(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(false, true), 0u);
  beat = HeartbeatAt(kStartLocal + 2 * kTestHour + kTestHour / 6 + 1);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);

  EXPECT_EQ(Records(), (RecordList{{kStartLocal + kTestHour + 1, "2,Heartbeat"},
                                   {kStartLocal + kTestHour + kTestHour / 6, "1,Sleep"},
                                   {kStartLocal + 2 * kTestHour + kTestHour / 6 + 1, "1,Heartbeat"}}));
  EXPECT_EQ(script_.checks, 0);
}

TEST_F(StateMachine, RefusedRequestForManagedRecordsStateOneAtTheTimeOfTheRequest) {
  Settle(kUnmanaged);
  clock_.Advance(kTestHour / 60);
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);
  EXPECT_EQ(script_.checks, 2);
  EXPECT_EQ(Records(), (RecordList{{kStartLocal + kTestHour / 60, "1,Out of suspend"},
                                   {kStartLocal + kTestHour / 60, "1,Net Adapters changed"}}));
}

TEST_F(StateMachine, ForcedCheckThatFailsLeavesTheModuleManaged) {
  Settle(kManaged);
  MoveToAnUnknownSubnet();
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), 0u);
  EXPECT_EQ(script_.checks, 1);
  EXPECT_EQ(StatesAndReasons(), Texts{"2,Net Adapters changed"});
}

TEST_F(StateMachine, LoweringEventsRecordStateOne) {
  Settle(kManaged);
  EXPECT_EQ(module_.OnSleep(), 0u);
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(false, true), 0u);
  EXPECT_EQ(script_.checks, 0);
  EXPECT_EQ(StatesAndReasons(), (Texts{"1,Sleep", "2,Out of suspend", "1,Net Adapters changed"}));
}

TEST_F(StateMachine, OutOfSuspendTidiesTheFolderEvenWithoutAStateChange) {
  Settle(kManaged);
  for (int offset = -30; offset <= 0; ++offset)
    WriteWholeFile(profile_.StatesFolder() + UtcDay(offset, kStart).name, "");

  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_FALSE(FileExists(profile_.StatesFolder() + "20261106T.mgt"));
  EXPECT_TRUE(FileExists(profile_.StatesFolder() + "20261107T.mgt"));
}

// --- shut-down ---

TEST_F(StateMachine, ShutdownWhenUnmanagedDestroysTheConnectionOnly) {
  Settle(kUnmanaged);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_TRUE(script_.destroyed);
  EXPECT_TRUE(Records().empty());
}

// Each run, start-up to shut-down, has a check of its own.
TEST_F(StateMachine, StartupAfterShutdownAsksTheManagementPointAgain) {
  EXPECT_EQ(StartWithOneAddress(false), 0u);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_EQ(script_.live, 0);
  script_.reachable = true;
  script_.localAddress = 0x0302010A;  // 10.1.2.3
  EXPECT_EQ(module_.OnStartup(table_.get(), 0), 0u);
  EXPECT_EQ(script_.checks, 2);
  EXPECT_EQ(script_.live, 1);
  EXPECT_EQ(StatesAndReasons(), (Texts{"1,Startup", "2,Startup"}));
}

TEST_F(StateMachine, ShutdownWhenManagedRecordsStateOne) {
  Settle(kManaged);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_TRUE(script_.destroyed);
  EXPECT_EQ(StatesAndReasons(), Texts{"1,Shutdown"});
}

// --- heartbeat ---

TEST_F(StateMachine, HeartbeatWritesOnlyAfterMoreThanAnHour) {
  Settle(kManaged);
  for (const std::uint64_t local : {kStartLocal + kTestHour, kStartLocal + kTestHour + 1,
                                    kStartLocal + 2 * kTestHour + 1, kStartLocal + 2 * kTestHour + 2}) {
    const FILETIME beat = HeartbeatAt(local);
    EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  }
  EXPECT_EQ(Records(), (RecordList{{kStartLocal + kTestHour + 1, "2,Heartbeat"},
                                   {kStartLocal + 2 * kTestHour + 2, "2,Heartbeat"}}));
  EXPECT_EQ(script_.checks, 0) << "the heartbeat never checks the state";
}

TEST_F(StateMachine, ClockSetBackWaitsForTheStoredTimeToPass) {
  Settle(kUnmanaged);
  for (const std::uint64_t local : {kStartLocal - 10 * kTestHour, kStartLocal - 1, kStartLocal, kStartLocal + kTestHour,
                                    kStartLocal + kTestHour + 1}) {
    const FILETIME beat = HeartbeatAt(local);
    EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  }
  EXPECT_EQ(Records(), (RecordList{{kStartLocal + kTestHour + 1, "1,Heartbeat"}}));
}

// A stored time at the top of the range must not wrap round and let every
// heartbeat write; a time the zone cannot convert writes nothing.
TEST_F(StateMachine, HeartbeatAtTheEndOfTimeHoldsBackHeartbeatsUntilTheNextEvaluation) {
  Settle(kUnmanaged);
  constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();
  for (const FILETIME beat : {FileTimeOf(kTop), HeartbeatAt(kTop), HeartbeatAt(kStartLocal + 2 * kTestHour)}) {
    EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  }
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), 0u);
  const FILETIME later = HeartbeatAt(kStartLocal + 2 * kTestHour);
  EXPECT_EQ(module_.OnHeartbeat(&later), 0u);
  EXPECT_EQ(Records(), (RecordList{{kTop, "1,Heartbeat"},
                                   {kStartLocal, "1,Net Adapters changed"},
                                   {kStartLocal + 2 * kTestHour, "1,Heartbeat"}}));
}

// --- failures ---

TEST_F(StateMachine, FailedRecordIsTheEventResultButNotTheHeartbeatsAndItsTimeAndStateStand) {
  char folder[MAX_PATH];
  DWORD size = sizeof folder;
  if (GetAllUsersProfileDirectoryA(folder, &size)) GTEST_SKIP() << "the platform reports the profile folder itself";
  Settle(kManaged);
  SetEnvironmentVariableA("ALLUSERSPROFILE", nullptr);
  EXPECT_EQ(module_.OnSleep(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  FILETIME beat = HeartbeatAt(kStartLocal + kTestHour + 1);
  EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);

  SetEnvironmentVariableA("ALLUSERSPROFILE", temp_.path().c_str());
  for (const std::uint64_t local : {kStartLocal + 2 * kTestHour + 1, kStartLocal + 2 * kTestHour + 2}) {
    beat = HeartbeatAt(local);
    EXPECT_EQ(module_.OnHeartbeat(&beat), 0u);
  }
  EXPECT_EQ(Records(), (RecordList{{kStartLocal + 2 * kTestHour + 2, "1,Heartbeat"}}));
}

TEST_F(StateMachine, ExceptionsBecomeResults) {
  table_.Add("10.1.2.3", "255.255.0.0");
  script_.reachable = true;
  script_.failure = ConnectionScript::Failure::kOutOfMemory;
  EXPECT_EQ(module_.OnStartup(table_.get(), 0), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

  script_.failure = ConnectionScript::Failure::kError;
  EXPECT_EQ(module_.OnOutOfSuspend(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_TRUE(Records().empty()) << "an evaluation cut short records nothing";
}

// --- outside the start-up to shut-down window ---

TEST_F(StateMachine, CallsBeforeStartupAndAfterShutdownDoNotCrash) {
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), 0u);
  EXPECT_EQ(script_.checks, 0) << "no table yet";

  EXPECT_EQ(StartWithOneAddress(false), 0u);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_EQ(module_.OnShutdown(), 0u);
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(script_.checks, 1) << "no connection after shut-down counts as unreachable";
  EXPECT_EQ(StatesAndReasons(), (Texts{"1,Out of suspend", "1,Net Adapters changed", "1,Startup", "1,Out of suspend"}));
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
}

}  // namespace

}  // namespace mardonel
