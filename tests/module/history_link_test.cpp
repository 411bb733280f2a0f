// Links planted in the history folders: what a user who may write the
// all-users profile could leave there for the module, running as SYSTEM.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/fs/folder_security.h"
#include "common/win/win_owners.h"
#include "history/folder_chain.h"
#include "module/history_store.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/fake_clock.h"
#include "support/fake_connection.h"
#include "support/file_times.h"
#include "support/folder_entries.h"
#include "support/planted_link.h"
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

constexpr char kOtherContent[] = "another program's data\r\n";
constexpr char kRefusedWrite[] = ": Refused to write history file through a link: ";
constexpr char kRefusedDelete[] = ": Refused to delete history file through a link: ";
constexpr char kFailureLine[] = ": Failed to create new history file: ";
constexpr char kTodayFile[] = "20261206T.mgt";  // the test clock's UTC day

// Every file of `folder` (which ends with a backslash) and its content.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : FolderEntries(folder)) files[name] = ReadWholeFile(folder + name);
  return files;
}

class HistoryLinks : public testing::Test {
 protected:
  void SetUp() override {
    std::string above = toveraAgt_;
    ASSERT_EQ(CreateDirectoryPath(above.data()), 0u);
    ASSERT_TRUE(CreateDirectoryA(elsewhere_.c_str(), nullptr));
  }

  // States made a link to the folder elsewhere, which holds `days` and a
  // file of another program.
  void LinkStatesElsewhere(const std::vector<TestDay>& days) {
    for (const TestDay& day : days) WriteWholeFile(elsewhere_ + "\\" + day.name, "1,1,Startup,x\r\n");
    WriteWholeFile(elsewhere_ + "\\other.txt", kOtherContent);
    before_ = Snapshot(elsewhere_ + "\\");
    ASSERT_TRUE(link_.Plant(elsewhere_, statesFolder_));
  }

  void ExpectElsewhereUntouched() const { EXPECT_EQ(Snapshot(elsewhere_ + "\\"), before_); }

  // A real States folder whose file `name` is a second name of a file
  // outside the history folders.
  void HardLinkInStates(const std::string& name) const {
    ASSERT_TRUE(CreateDirectoryA(statesFolder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    WriteWholeFile(outside_, kOtherContent);
    ASSERT_TRUE(CreateHardLinkA((states_ + name).c_str(), outside_.c_str(), nullptr));
  }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  const std::string states_ = profile_.StatesFolder();
  const std::string statesFolder_ = states_.substr(0, states_.size() - 1);
  const std::string toveraAgt_ = statesFolder_.substr(0, statesFolder_.rfind('\\'));
  const std::string elsewhere_ = temp_ / "elsewhere";
  const std::string outside_ = temp_ / "outside.dat";
  std::map<std::string, std::string> before_;
  PlantedLink link_;
  CapturedLog log_{0};
  ConnectionScript unreachable_;
  FakeClock clock_;
  HistoryStore store_{clock_};
  Mardonel module_{FakeConnectionOf(unreachable_), clock_};
};

std::vector<TestDay> UtcDays(int from, int to) {
  std::vector<TestDay> days;
  for (int offset = from; offset <= to; ++offset) days.push_back(UtcDay(offset));
  return days;
}

TEST_F(HistoryLinks, StartupThroughALinkedStatesFolderFailsAndTouchesNothing) {
  // 35 files, the newest five days old: unlinked, 5 would go and 4 days be filled.
  LinkStatesElsewhere(UtcDays(-39, -5));
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  TestHostTable table;
  table.Add("10.1.2.3", "255.255.0.0");

  EXPECT_EQ(module_.OnStartup(table.get(), 0), static_cast<DWORD>(ERROR_INTERNAL_ERROR));

  ExpectElsewhereUntouched();
  EXPECT_EQ(CountLines(log_.Lines(), kRefusedDelete + states_), 5);
  // Four missed days and the start-up record, each refused and failed.
  EXPECT_EQ(CountLines(log_.Lines(), kRefusedWrite + states_), 5);
  EXPECT_EQ(CountLines(log_.Lines(), kFailureLine + states_), 5);
  EXPECT_EQ(log_.CountEndingWith(kRefusedWrite + states_ + kTodayFile), 1);
}

TEST_F(HistoryLinks, LinkedStatesFolderIsNeitherTrimmedNorFilled) {
  LinkStatesElsewhere(UtcDays(-40, -3));

  store_.MaintainHistoryFolder();

  ExpectElsewhereUntouched();
  EXPECT_EQ(CountLines(log_.Lines(), kRefusedDelete), 8);
  for (const TestDay& day : UtcDays(-2, -1)) EXPECT_EQ(log_.CountEndingWith(kRefusedWrite + states_ + day.name), 1);
}

TEST_F(HistoryLinks, NothingIsMadeBeneathALinkedQuarnelFolder) {
  const std::string quarnel = toveraAgt_.substr(0, toveraAgt_.rfind('\\'));
  RemoveDirectoryTree(quarnel.c_str());
  ASSERT_TRUE(link_.Plant(elsewhere_, quarnel));

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), static_cast<DWORD>(ERROR_INTERNAL_ERROR));

  EXPECT_TRUE(FolderEntries(elsewhere_ + "\\").empty());
  EXPECT_EQ(log_.CountEndingWith(kRefusedWrite + states_ + kTodayFile), 1);
}

// On Windows "Application Data" in the profile is the system's junction back
// to the profile itself; the link rule starts below it, at Quarnel.
TEST_F(HistoryLinks, SystemJunctionAboveQuarnelIsWrittenThrough) {
  const std::string appData = temp_ / "Application Data";
  RemoveDirectoryTree(appData.c_str());
  ASSERT_TRUE(link_.Plant(temp_.path(), appData));

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), static_cast<DWORD>(ERROR_SUCCESS));

  const std::string seen = temp_ / "Quarnel\\ToveraAgt\\States\\" + kTodayFile;
  EXPECT_NE(ReadWholeFile(seen).find(",1,Net Adapters changed,"), std::string::npos);
  EXPECT_EQ(CountLines(log_.Lines(), kRefusedWrite), 0);
}

TEST_F(HistoryLinks, HardLinkedHistoryFileIsNotAppendedTo) {
  HardLinkInStates(kTodayFile);

  EXPECT_EQ(module_.OnNetAdaptersChanged(true, true), static_cast<DWORD>(ERROR_INTERNAL_ERROR));

  EXPECT_EQ(ReadWholeFile(outside_), kOtherContent);
  EXPECT_EQ(ReadWholeFile(states_ + kTodayFile), kOtherContent);
  EXPECT_EQ(log_.CountEndingWith(kRefusedWrite + states_ + kTodayFile), 1);
  EXPECT_EQ(log_.CountEndingWith(kFailureLine + states_ + kTodayFile), 1);
}

TEST_F(HistoryLinks, HardLinkedOldestFileIsNotTrimmedTheRestIs) {
  std::vector<TestDay> days;
  for (int offset = -31; offset <= 0; ++offset) days.push_back(UtcDay(offset));
  HardLinkInStates(days[0].name);
  for (std::size_t index = 1; index < days.size(); ++index) WriteWholeFile(states_ + days[index].name, "1,1,x,y\r\n");

  store_.MaintainHistoryFolder();

  EXPECT_EQ(ReadWholeFile(outside_), kOtherContent);
  EXPECT_EQ(ReadWholeFile(states_ + days[0].name), kOtherContent);
  EXPECT_FALSE(FileExists(states_ + days[1].name));
  EXPECT_EQ(FolderEntries(states_).size(), 31u);
  EXPECT_EQ(log_.CountEndingWith(kRefusedDelete + states_ + days[0].name), 1);
}

// What CreateHistoryFolders hands to the folder creation.
struct Creation {
  std::string folder;
  std::string dacl;  // empty for default security
  bool created;
};
std::vector<Creation> creations;

std::string DaclOf(const SECURITY_ATTRIBUTES* attributes) {
  if (attributes == nullptr || attributes->lpSecurityDescriptor == nullptr) return {};
  char* text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(attributes->lpSecurityDescriptor, SDDL_REVISION_1,
                                                            DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return "unreadable";
  }
  const unique_hlocal owner(text);
  return text;
}

BOOL WINAPI RecordingCreate(LPCSTR folder, LPSECURITY_ATTRIBUTES attributes) {
  const BOOL created = CreateDirectoryA(folder, attributes);
  const DWORD error = GetLastError();
  creations.push_back({folder, DaclOf(attributes), created != FALSE});
  SetLastError(error);
  return created;
}

class HistoryFolderSecurity : public testing::Test {
 protected:
  HistoryFolderSecurity() { creations.clear(); }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  const std::string states_ = profile_.StatesFolder();
  const std::string appData_ = temp_ / "Application Data";
};

TEST_F(HistoryFolderSecurity, OwnFoldersAreMadeProtectedTheOneAboveIsNot) {
  CreateHistoryFolders(states_, RecordingCreate);

  const std::string quarnel = appData_ + "\\Quarnel";
  ASSERT_EQ(creations.size(), 3u);
  const std::string expected[] = {quarnel, quarnel + "\\ToveraAgt", quarnel + "\\ToveraAgt\\States"};
  for (std::size_t index = 0; index < 3; ++index) {
    EXPECT_EQ(creations[index].folder, expected[index]);
    EXPECT_EQ(creations[index].dacl, kProtectedFolderSddl);
    EXPECT_TRUE(creations[index].created);
  }
  EXPECT_TRUE(GetFileAttributesA(appData_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(GetFileAttributesA(states_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(HistoryFolderSecurity, ExistingFoldersAreLeftAsTheyAre) {
  std::string toveraAgt = appData_ + "\\Quarnel\\ToveraAgt";
  ASSERT_EQ(CreateDirectoryPath(toveraAgt.data()), 0u);

  CreateHistoryFolders(states_, RecordingCreate);

  ASSERT_EQ(creations.size(), 3u);
  EXPECT_FALSE(creations[0].created);
  EXPECT_FALSE(creations[1].created);
  EXPECT_TRUE(creations[2].created);
  EXPECT_EQ(creations[2].folder + "\\", states_);
}

}  // namespace

}  // namespace mardonel
