#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/log/log_settings.h"
#include "common/win/win_owners.h"
#include "history/listing.h"
#include "module/history_store.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/fake_clock.h"
#include "support/fake_connection.h"
#include "support/folder_entries.h"
#include "support/history_line.h"
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

BOOL WINAPI FailAtTheSecondEntry(HANDLE, LPWIN32_FIND_DATAA) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

// `count` consecutive days ending today: trimming alone is at work, since the
// newest is from today.
std::vector<TestDay> DaysEndingToday(int count) {
  std::vector<TestDay> days;
  for (int offset = 1 - count; offset <= 0; ++offset) days.push_back(UtcDay(offset));
  return days;
}

class HistoryFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string folder = states_;
    ASSERT_EQ(CreateDirectoryPath(folder.data()), 0u);
  }

  void Put(const std::string& name, const std::string& content = "1,1,Startup,x\r\n") const {
    WriteWholeFile(states_ + name, content);
  }
  void Put(const std::vector<TestDay>& days) const {
    for (const TestDay& day : days) Put(day.name);
  }
  void MakeFolder(const std::string& name) const { ASSERT_TRUE(CreateDirectoryA((states_ + name).c_str(), nullptr)); }

  std::vector<std::string> Names() const { return FolderEntries(states_); }

  void Empty() const {
    for (const std::string& name : Names()) {
      const std::string path = states_ + name;
      if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
    }
  }

  // The folder after one maintenance run on `names` (plain files).
  std::vector<std::string> MaintainedFrom(const std::vector<std::string>& names) {
    Empty();
    for (const std::string& name : names) Put(name);
    store_.MaintainHistoryFolder();
    return Names();
  }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  const std::string states_ = profile_.StatesFolder();
  CapturedLog log_{0};
  ConnectionScript unreachable_;
  // Ten hours west of UTC the local day is still the day before the UTC day
  // that names today's file.
  FakeClock clock_{kWorkedExampleTime, -10 * 60};
  HistoryStore store_{clock_};
  Mardonel module_{FakeConnectionOf(unreachable_), clock_};
};

using HistoryGapDays = HistoryFolderTest;

TEST_F(HistoryGapDays, StartupAfterTheDayBeforeYesterdayFillsYesterdayThenRecordsToday) {
  const TestDay dayBefore = UtcDay(-2);
  const TestDay yesterday = UtcDay(-1);
  const TestDay today = UtcDay(0);
  Put(dayBefore.name, "7,2,Sleep,x\r\n");
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  TestHostTable table;
  table.Add("10.1.2.3", "255.255.0.0");

  EXPECT_EQ(module_.OnStartup(table.get(), 0), 0u);

  EXPECT_EQ(ReadWholeFile(states_ + yesterday.name), "134409024000000000,1,INITIALISED,12/5/2026 00:00:00\r\n");
  const std::vector<std::string> lines = SplitLines(ReadWholeFile(states_ + today.name));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",1,Startup,"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(states_ + dayBefore.name), "7,2,Sleep,x\r\n");
  EXPECT_EQ(Names(), NamesOf({dayBefore, yesterday, today}));
}

TEST_F(HistoryGapDays, ResumeFillsTheMissedDaysBeforeItsRecord) {
  Put(UtcDay(-4).name);

  module_.OnOutOfSuspend();

  for (int offset = -3; offset <= -1; ++offset) {
    EXPECT_EQ(ReadWholeFile(states_ + UtcDay(offset).name), HistoryLine(UtcDay(offset).midnight, 1, "INITIALISED"))
        << offset;
  }
  const std::vector<std::string> lines = SplitLines(ReadWholeFile(states_ + UtcDay(0).name));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",1,Out of suspend,"), std::string::npos);
}

TEST_F(HistoryGapDays, ThirtyOneDaysAwayFillsThirtyDays) {
  Put(UtcDay(-31).name);

  store_.MaintainHistoryFolder();

  std::vector<TestDay> expected{UtcDay(-31)};
  for (int offset = -30; offset <= -1; ++offset) {
    expected.push_back(UtcDay(offset));
    EXPECT_EQ(ReadWholeFile(states_ + UtcDay(offset).name), HistoryLine(UtcDay(offset).midnight, 1, "INITIALISED"))
        << offset;
  }
  EXPECT_EQ(Names(), NamesOf(expected));
}

TEST_F(HistoryGapDays, ThirtyTwoDaysOrMoreAwayFillsNothing) {
  for (const int offset : {-32, -33, -400}) {
    EXPECT_EQ(MaintainedFrom({UtcDay(offset).name}), NamesOf({UtcDay(offset)})) << offset;
  }
}

TEST_F(HistoryGapDays, NewestFromTodayOrYesterdayFillsNothing) {
  const TestDay older = UtcDay(-6);
  for (const TestDay& newest : {UtcDay(-1), UtcDay(0)}) {
    EXPECT_EQ(MaintainedFrom({older.name, newest.name}), NamesOf({older, newest})) << newest.name;
  }
}

TEST_F(HistoryGapDays, OnlyTheNewestFileCounts) {
  EXPECT_EQ(MaintainedFrom({UtcDay(-10).name, UtcDay(-3).name}),
            NamesOf({UtcDay(-10), UtcDay(-3), UtcDay(-2), UtcDay(-1)}));
}

// Entries that are not history files (by name, or folders) are neither
// trimmed nor taken for the newest day, wherever they sort.
TEST_F(HistoryGapDays, OnlyHistoryFilesAreTrimmedOrCountForTheNewestDay) {
  std::vector<TestDay> dated;
  for (int offset = -34; offset <= -4; ++offset) dated.push_back(UtcDay(offset));
  std::vector<TestDay> expected(dated.begin() + 1, dated.end());
  for (const int offset : {-3, -2, -1}) expected.push_back(UtcDay(offset));

  const std::string strays[] = {"0.mgt",          "10000101.mgt",     "a.mgt",         "zz.mgt",
                                "notes.mgt",      "20261340T.mgt",    "20230229T.mgt", "2026120T.mgt",
                                "202612070T.mgt", "20261207T.mgt.mgt"};
  for (const std::string& stray : strays) {
    Empty();
    Put(dated);
    Put(stray, "kept");
    store_.MaintainHistoryFolder();
    std::vector<std::string> names = NamesOf(expected);
    names.push_back(stray);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Names(), names) << stray;
    EXPECT_EQ(ReadWholeFile(states_ + stray), "kept") << stray;
  }
  // A folder named like a day to come: taken for the newest, it would stop
  // the filling.
  Empty();
  Put(dated);
  MakeFolder(UtcDay(1).name);
  store_.MaintainHistoryFolder();
  expected.push_back(UtcDay(1));
  EXPECT_EQ(Names(), NamesOf(expected));
}

TEST_F(HistoryGapDays, GapRecordsAreLoggedWhateverTheDebugMask) {
  Put(UtcDay(-3).name);

  store_.MaintainHistoryFolder();

  for (const int offset : {-2, -1}) {
    EXPECT_EQ(
        log_.CountEndingWith(": Successfully wrote managed state to disk [" + states_ + UtcDay(offset).name + "]"), 1)
        << offset;
  }
  EXPECT_FALSE(log_.Contains("Last file written on"));
}

TEST_F(HistoryGapDays, DebugMaskShowsTheDayOfTheLastFile) {
  log_.SetDebugMask(kDebugInfo);
  Put(UtcDay(-3).name);

  store_.MaintainHistoryFolder();

  EXPECT_EQ(log_.CountEndingWith(": Last file written on: 12/3/2026 00:00:00"), 1);
}

// A profile folder so deep that the States folder can still be searched but
// no history file path fits in MAX_PATH.
class HistoryGapPathTooLong : public testing::Test {
 protected:
  static std::wstring Extended(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

  ScopedTempFolder temp_;
  const std::string profile_ = temp_ / std::string(250 - temp_.path().size() - 1 - 43, 'p');
  ScopedProfileFolder profileFolder_{profile_};
  const std::string states_ = profileFolder_.StatesFolder();
  CapturedLog log_{0};
  FakeClock clock_;
  HistoryStore store_{clock_};
};

TEST_F(HistoryGapPathTooLong, EveryMissedDayIsTriedAndItsFailureLogged) {
  ASSERT_EQ(states_.size(), 250u);
  std::string folder = states_;
  ASSERT_EQ(CreateDirectoryPath(folder.data()), 0u);
  folder.pop_back();
  ASSERT_TRUE(CreateDirectoryW(Extended(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::wstring newest = Extended(states_ + UtcDay(-3).name);
  ASSERT_TRUE(
      unique_hfile(CreateFileW(newest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));

  store_.MaintainHistoryFolder();

  for (const int offset : {-2, -1}) {
    EXPECT_EQ(log_.CountEndingWith(": Failed to create new history file: " + states_ + UtcDay(offset).name), 1)
        << offset;
  }
  EXPECT_TRUE(DeleteFileW(newest.c_str()));
}

using HistoryTrimming = HistoryFolderTest;

TEST_F(HistoryTrimming, KeepsTheThirtyGreatestNames) {
  for (const int count : {30, 31, 35}) {
    const std::vector<TestDay> days = DaysEndingToday(count);
    std::vector<std::string> names = NamesOf(days);
    const std::vector<std::string> kept(names.end() - std::min(count, 30), names.end());
    EXPECT_EQ(MaintainedFrom(names), kept) << count;
  }
}

// A clock that once ran ahead left files named for days to come: they are
// neither counted among the kept files nor deleted, and the log says so.
TEST_F(HistoryTrimming, FilesOfDaysToComeTakeNoPart) {
  log_.SetDebugMask(kDebugInfo);
  const struct {
    int pastDays;  // ending today
    int firstToCome;
    int toCome;
  } cases[] = {{35, 1, 1}, {35, 365, 30}, {3, 1, 2}, {31, 1, 0}};
  const auto logged = [this](int toCome) {
    return log_.CountEndingWith(": Files of days after today (UTC) left out of trimming: " + std::to_string(toCome));
  };
  for (const auto& c : cases) {
    std::vector<TestDay> days = DaysEndingToday(c.pastDays);
    for (int offset = c.firstToCome; offset < c.firstToCome + c.toCome; ++offset) days.push_back(UtcDay(offset));
    const std::vector<TestDay> kept(days.begin() + std::max(c.pastDays - 30, 0), days.end());
    const int before = logged(c.toCome);
    EXPECT_EQ(MaintainedFrom(NamesOf(days)), NamesOf(kept)) << c.pastDays << " " << c.toCome;
    EXPECT_EQ(logged(c.toCome) - before, c.toCome == 0 ? 0 : 1) << c.toCome;
  }
}

TEST_F(HistoryTrimming, TrimsBeforeFillingGaps) {
  std::vector<TestDay> days;
  for (int offset = -37; offset <= -3; ++offset) days.push_back(UtcDay(offset));
  Put(days);

  store_.MaintainHistoryFolder();

  std::vector<TestDay> expected(days.begin() + 5, days.end());
  expected.push_back(UtcDay(-2));
  expected.push_back(UtcDay(-1));
  EXPECT_EQ(Names(), NamesOf(expected));
}

TEST_F(HistoryTrimming, EntriesThatCannotBeDeletedStaySilently) {
  log_.SetDebugMask(kDebugInfo);
  const std::vector<TestDay> days = DaysEndingToday(33);
  Put(days);
  const std::string readOnly = states_ + days[0].name;
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  unique_hfile held =
      unique_hfile(CreateFileA((states_ + days[1].name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);

  store_.MaintainHistoryFolder();
  held.reset();
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

  // Of the three oldest only the last could go; no other file is deleted in
  // place of those that stayed.
  std::vector<std::string> expected = NamesOf(days);
  expected.erase(expected.begin() + 2);
  EXPECT_EQ(Names(), expected);
  // The one line: the local day is still the day before today's file.
  EXPECT_EQ(log_.Lines().size(), 1u) << log_.Text();
  EXPECT_EQ(log_.CountEndingWith(": Last file written on: 12/6/2026 00:00:00"), 1);
}

using HistorySearch = HistoryFolderTest;

TEST_F(HistorySearch, MissingFolderIsLoggedUnderTheDebugMaskOnly) {
  ASSERT_TRUE(RemoveDirectoryA(states_.c_str()));
  store_.MaintainHistoryFolder();
  EXPECT_TRUE(log_.Lines().empty());

  log_.SetDebugMask(kDebugInfo);
  store_.MaintainHistoryFolder();
  EXPECT_TRUE(log_.Contains(": FindFirstFile failed or no files found in subdirectory '" + states_ + "*.mgt'. "));
  EXPECT_FALSE(FileExists(states_));
}

// Part of a listing could take an old file for the newest.
TEST_F(HistorySearch, SearchFailingMidwayListsNothingAndIsLogged) {
  log_.SetDebugMask(kDebugInfo);
  Put(UtcDay(-3).name);
  Put(UtcDay(-2).name);
  EXPECT_TRUE(ListHistoryFiles(HistoryFolderPath(), FailAtTheSecondEntry).empty());
  EXPECT_TRUE(log_.Contains(": FindFirstFile failed or no files found in subdirectory '" + states_ + "*.mgt'. "));
}

TEST_F(HistorySearch, FolderWithoutHistoryFilesIsSilent) {
  log_.SetDebugMask(kDebugInfo);
  Put("notes.txt");

  store_.MaintainHistoryFolder();

  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"notes.txt"}));
}

// Far from UTC the local date, which alone stops the maintenance as today's,
// differs from the UTC dates that name the files and the days to fill.
TEST(HistoryFolderZone, LocalDateApartFromUtcDate) {
  struct Zone {
    std::uint64_t utcNow;
    int biasMinutes;
    const char* localToday;
  };
  const Zone zones[] = {
      {134410320000000000ULL, 14 * 60, "20261207T.mgt"},   // 6 December 2026 12:00 UTC, 02:00 next day local
      {134410068000000000ULL, -11 * 60, "20261205T.mgt"},  // 6 December 2026 05:00 UTC, 18:00 day before local
  };
  // A States folder of its own holding `name`, maintained once.
  struct Scene {
    Scene(const FakeClock& clock, const std::string& name) : store(clock) {
      std::string folder = states;
      EXPECT_EQ(CreateDirectoryPath(folder.data()), 0u);
      WriteWholeFile(states + name, "1,1,Startup,x\r\n");
      store.MaintainHistoryFolder();
    }
    ScopedTempFolder temp;
    ScopedProfileFolder profile{temp.path()};
    const std::string states = profile.StatesFolder();
    CapturedLog log{kDebugInfo};
    HistoryStore store;
  };
  for (const Zone& zone : zones) {
    SCOPED_TRACE(zone.localToday);
    const FakeClock clock(zone.utcNow, zone.biasMinutes);
    {
      Scene scene(clock, "20261204T.mgt");
      EXPECT_EQ(FolderEntries(scene.states), (std::vector<std::string>{"20261204T.mgt", "20261205T.mgt"}));
      EXPECT_EQ(ReadWholeFile(scene.states + "20261205T.mgt"),
                "134409024000000000,1,INITIALISED,12/5/2026 00:00:00\r\n");
      EXPECT_EQ(scene.store.WriteStateRecord({clock.LocalNow(), kUnmanaged, RecordReason::kNetAdaptersChanged}), 0u);
      EXPECT_NE(ReadWholeFile(scene.states + "20261206T.mgt").find(",1,Net Adapters changed,"), std::string::npos);
    }
    EXPECT_EQ(FolderEntries(Scene(clock, "20261105T.mgt").states).size(), 31u);
    for (const std::string newest : {"20261104T.mgt", "20261205T.mgt", "20261206T.mgt", "20261207T.mgt"}) {
      const Scene scene(clock, newest);
      const bool stopped = newest == zone.localToday;
      EXPECT_EQ(FolderEntries(scene.states), (std::vector<std::string>{newest})) << newest;
      // Only a file of the local date stops the maintenance before it looks
      // at the gap and logs the last file's day.
      EXPECT_EQ(scene.log.Contains("Last file written on"), !stopped) << newest;
    }
  }
}

}  // namespace

}  // namespace mardonel
