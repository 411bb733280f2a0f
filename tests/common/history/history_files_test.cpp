#include "common/history/history_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

BOOL WINAPI FailAtTheSecondEntry(HANDLE, LPWIN32_FIND_DATAA) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

TEST(HistoryFolderListing, EveryMgtEntryByNameWithDateSizeAndKind) {
  const ScopedTempFolder folder;
  WriteWholeFile(folder / "20261207T.mgt", "12345");
  WriteWholeFile(folder / "20261201t.MGT", "");
  WriteWholeFile(folder / "notes.mgt", "abc");
  WriteWholeFile(folder / "20261203T.txt", "abc");
  ASSERT_TRUE(CreateDirectoryA((folder / "20261202T.mgt").c_str(), nullptr));

  for (const std::string& path : {folder.path(), folder.path() + "\\"}) {
    const HistoryFolderListing listing = ListHistoryFolder(path);
    EXPECT_EQ(listing.status(), 0u);
    struct Expected {
      const char* name;
      int day;  // 0: not a history file name
      std::uint64_t size;
      bool plainFile;
    };
    const Expected expected[] = {{"20261201t.MGT", 1, 0, true},
                                 {"20261202T.mgt", 2, 0, false},
                                 {"20261207T.mgt", 7, 5, true},
                                 {"notes.mgt", 0, 3, true}};
    ASSERT_EQ(listing.value().size(), std::size(expected)) << path;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
      const HistoryFolderEntry& entry = listing.value()[i];
      EXPECT_EQ(entry.name, expected[i].name);
      EXPECT_EQ(entry.date ? entry.date->day : 0, expected[i].day) << entry.name;
      EXPECT_EQ(entry.size, expected[i].size) << entry.name;
      EXPECT_EQ(entry.plainFile, expected[i].plainFile) << entry.name;
      EXPECT_EQ(entry.IsHistoryFile(), expected[i].plainFile && expected[i].day != 0) << entry.name;
    }
  }
}

TEST(HistoryFolderListing, FailuresKeepWhatCameBefore) {
  const ScopedTempFolder folder;
  EXPECT_EQ(ListHistoryFolder(folder.path()).status(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ListHistoryFolder(folder / "missing").status(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(ListHistoryFolder(folder / std::string(MAX_PATH, 'x')).status(),
            static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

  WriteWholeFile(folder / "20261207T.mgt", "");
  WriteWholeFile(folder / "20261208T.mgt", "");
  const HistoryFolderListing cut = ListHistoryFolder(folder.path(), FailAtTheSecondEntry);
  EXPECT_EQ(cut.status(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(cut.value().size(), 1u);
}

}  // namespace

}  // namespace mardonel
