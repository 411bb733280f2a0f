// Faults met while the module runs: a history file held by another program,
// the States folder or the log folder removed, the subnet key made read-only.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/log/log_settings.h"
#include "common/registry/setting_names.h"
#include "common/win/error_text.h"
#include "common/win/win_owners.h"
#include "module/mardonel.h"
#include "remembered_subnet_module.h"
#include "stress_env.h"
#include "support/captured_log.h"
#include "support/profile_folder.h"
#include "support/read_only_key.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kFailureLine[] = ": Failed to create new history file: ";

using ModuleFaults = RememberedSubnetModule;

TEST_F(ModuleFaults, HistoryFileHeldWithoutSharingFailsTheRecordAndTheNextOneIsWritten) {
  ASSERT_EQ(module_.OnOutOfSuspend(), 0u);
  const std::string before = ReadWholeFile(TodayPath());
  {
    const unique_hfile held = unique_hfile(
        CreateFileA(TodayPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held) << ErrorText(0);
    EXPECT_EQ(module_.OnSleep(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
    EXPECT_EQ(CountLines(LogLines(), kFailureLine + TodayPath(), LinePart::kEnd), 1);
  }
  EXPECT_EQ(ReadWholeFile(TodayPath()), before) << "nothing partial was left";

  ASSERT_EQ(module_.OnOutOfSuspend(), 0u);
  const std::vector<std::string> lines = TodayLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(",2,Out of suspend,"), std::string::npos) << "the state the failed record chose stood";
  EXPECT_EQ(CountLines(LogLines(), kFailureLine + TodayPath(), LinePart::kEnd), 1);
}

TEST_F(ModuleFaults, StatesFolderRemovedBetweenTwoRecordsIsMadeAgain) {
  ASSERT_EQ(module_.OnOutOfSuspend(), 0u);
  std::string states = profile_.StatesFolder();
  states.pop_back();
  RemoveDirectoryTree(states.c_str());
  ASSERT_FALSE(FileExists(states));

  EXPECT_EQ(module_.OnSleep(), 0u);
  std::vector<std::string> lines = TodayLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",1,Sleep,"), std::string::npos) << lines[0];

  // Resume tidies the folder first: with the whole chain gone the listing
  // fails, and the record still makes it all again.
  log_.SetDebugMask(9 | kDebugInfo);
  RemoveDirectoryTree((temp_ / "Application Data").c_str());
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  lines = TodayLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",2,Out of suspend,"), std::string::npos) << lines[0];
  EXPECT_NE(ReadWholeFile(logPath_).find(": FindFirstFile failed or no files found in subdirectory '" +
                                         profile_.StatesFolder() + "*.mgt'. "),
            std::string::npos)
      << ReadWholeFile(logPath_);
}

TEST(LogFaults, LogFolderRemovedMidRunIsMadeAgainAndNothingQueuedIsLost) {
  ScopedTempFolder temp;
  const std::string folder = temp / "logs";
  const std::string path = folder + "\\deeper\\run.log";
  const CapturedLog settings(9, 1 << 20, path);

  LogPrintf("%T: written before\n");
  FastLogPrintf("%T: queued 1\n");
  FastLogPrintf("queued 2\n");
  ASSERT_TRUE(FileExists(path));
  RemoveDirectoryTree(folder.c_str());
  ASSERT_FALSE(FileExists(folder));
  FastLogPrintf("%T: queued 3\n");
  LogPrintf("%T: written after\n");

  const std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
  ASSERT_EQ(lines.size(), 4u) << ReadWholeFile(path);
  EXPECT_EQ(CountLines({lines[0]}, ": queued 1", LinePart::kEnd), 1);
  EXPECT_EQ(lines[1].find_first_not_of(' '), lines[0].find(": queued 1") + 2) << "indented under the stamp";
  EXPECT_EQ(CountLines({lines[1]}, " queued 2", LinePart::kEnd), 1);
  EXPECT_EQ(CountLines({lines[2]}, ": queued 3", LinePart::kEnd), 1);
  EXPECT_EQ(CountLines({lines[3]}, ": written after", LinePart::kEnd), 1);
}

// The check reaches the management point from 10.9.1.1/16, a subnet not yet
// remembered, while the registry refuses to store it.
TEST(ReadOnlySubnetKey, RefusedWriteKeepsTheStoredListAndTheSubnetInMemory) {
  const ScopedRegistryTree tree("Software\\Quarnel");
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  const std::string logPath = temp / "registry.log";
  const CapturedLog log(9, 1 << 20, logPath);
  TestHostTable table;
  ConnectionScript script;
  script.reachable = true;
  script.localAddress = DottedToWord("10.9.1.1");
  const FakeClock clock;
  Mardonel module(FakeConnectionOf(script), clock);
  StoreText(kSettingsKey, kLogFileNameValue, logPath);
  StoreText(kCommonKey, "ManagedSubnets", "10.7.0.0");
  ASSERT_EQ(module.OnStartup(table.get(), 0), 0u);
  table.Add("10.9.1.1", "255.255.0.0");
  const ScopedReadOnlyKey readOnly(kCommonKey);
  ASSERT_TRUE(readOnly.applied());
  ASSERT_TRUE(WritesRefused(kCommonKey)) << "the registry does not enforce the key's DACL here";

  EXPECT_EQ(module.OnNetAdaptersChanged(true, false), 0u);
  EXPECT_EQ(script.checks, 1);
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), TextValue("10.7.0.0")) << "the old list is not lost";
  EXPECT_EQ(CountLines(SplitLines(ReadWholeFile(logPath)),
                       "SetRegParameter \"Software\\Quarnel\\Common\\ManagedSubnets\" - " +
                           std::string(ErrorText(ERROR_ACCESS_DENIED)),
                       LinePart::kEnd),
            1)
      << ReadWholeFile(logPath);

  // The subnet stays remembered for the module's life: the next request is
  // answered without the management point.
  EXPECT_EQ(module.OnSleep(), 0u);
  EXPECT_EQ(module.OnNetAdaptersChanged(true, false), 0u);
  EXPECT_EQ(script.checks, 1);
  const std::vector<std::string> lines = AllHistoryLines(profile.StatesFolder());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[2].find(",2,Net Adapters changed,"), std::string::npos) << lines[2];

  // Its life, not one run: a second start-up does not forget it.
  EXPECT_EQ(module.OnShutdown(), 0u);
  EXPECT_EQ(module.OnStartup(table.get(), 0), 0u);
  EXPECT_EQ(script.checks, 1);
  const std::vector<std::string> later = AllHistoryLines(profile.StatesFolder());
  ASSERT_EQ(later.size(), 5u);
  EXPECT_NE(later[4].find(",2,Startup,"), std::string::npos) << later[4];
}

}  // namespace

}  // namespace mardonel
