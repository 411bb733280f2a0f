#include "common/fs/no_link_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/fs/no_link_folder.h"
#include "support/planted_link.h"
#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kOther[] = "another program's file\r\n";

// A file outside the folder the module acts in, and a second name for it
// inside, as a user could plant it.
class HardLinked : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA(inside_.c_str(), nullptr));
    WriteWholeFile(other_, kOther);
    ASSERT_TRUE(CreateHardLinkA(link_.c_str(), other_.c_str(), nullptr));
  }
  void ExpectUntouched() const {
    EXPECT_EQ(ReadWholeFile(other_), kOther);
    EXPECT_EQ(ReadWholeFile(link_), kOther);
  }

  ScopedTempFolder temp_;
  const std::string other_ = temp_ / "other.dat";
  const std::string inside_ = temp_ / "inside";
  const std::string link_ = inside_ + "\\agent.log";
};

TEST_F(HardLinked, IsNeitherOpenedNorDeletedNorRenamed) {
  const NoLinkFile opened =
      OpenFileNoLink(link_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(opened.status(), kLinkRefused);
  EXPECT_FALSE(opened.value().handle);
  EXPECT_EQ(GetLastError(), kLinkRefused);

  EXPECT_EQ(DeleteFileNoLink(link_.c_str()), kLinkRefused);
  EXPECT_EQ(RenameFileNoLink(link_.c_str(), (inside_ + "\\agent.lo_").c_str()), kLinkRefused);
  EXPECT_FALSE(FileExists(inside_ + "\\agent.lo_"));
  ExpectUntouched();
}

TEST_F(HardLinked, OtherNameIsRefusedToo) {
  // Either name of the pair could be the one a user planted.
  EXPECT_EQ(DeleteFileNoLink(other_.c_str()), kLinkRefused);
  ExpectUntouched();
}

TEST_F(HardLinked, SingleNameAgainOnceTheLinkIsGone) {
  ASSERT_TRUE(DeleteFileA(link_.c_str()));
  const NoLinkFile opened =
      OpenFileNoLink(other_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(opened.status(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(opened.value().handle);
}

class PlainFile : public testing::Test {
 protected:
  ScopedTempFolder temp_;
  const std::string path_ = temp_ / "plain.log";
};

TEST_F(PlainFile, OpenCreatesAndReportsWhetherTheFileWasThere) {
  NoLinkFile created = OpenFileNoLink(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS, 0);
  ASSERT_TRUE(created.ok());
  ASSERT_TRUE(created.value().handle);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  created.value().handle.reset();

  const NoLinkFile again = OpenFileNoLink(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS, 0);
  ASSERT_TRUE(again.ok());
  ASSERT_TRUE(again.value().handle);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST_F(PlainFile, OpenOfAMissingFileGivesThePlatformsError) {
  const NoLinkFile opened = OpenFileNoLink(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
  EXPECT_EQ(opened.status(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(opened.value().handle);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PlainFile, DeleteRemovesItOnce) {
  WriteWholeFile(path_, "x");
  EXPECT_EQ(DeleteFileNoLink(path_.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(FileExists(path_));
  EXPECT_EQ(DeleteFileNoLink(path_.c_str()), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PlainFile, DeleteLeavesAFolderOfThatName) {
  ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
  EXPECT_NE(DeleteFileNoLink(path_.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_NE(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PlainFile, DeleteOfAFileHeldWithoutDeleteSharingFails) {
  WriteWholeFile(path_, "held");
  const unique_hfile holder = unique_hfile(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(DeleteFileNoLink(path_.c_str()), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(ReadWholeFile(path_), "held");
}

TEST_F(PlainFile, RenameMovesTheContent) {
  WriteWholeFile(path_, "content");
  const std::string target = temp_ / "plain.lo_";
  EXPECT_EQ(RenameFileNoLink(path_.c_str(), target.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(FileExists(path_));
  EXPECT_EQ(ReadWholeFile(target), "content");
}

TEST_F(PlainFile, RenameNeverReplacesAnExistingFile) {
  WriteWholeFile(path_, "content");
  const std::string target = temp_ / "plain.lo_";
  WriteWholeFile(target, "older");
  EXPECT_NE(RenameFileNoLink(path_.c_str(), target.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(ReadWholeFile(path_), "content");
  EXPECT_EQ(ReadWholeFile(target), "older");
}

TEST_F(PlainFile, RenameOfAMissingFileGivesThePlatformsError) {
  EXPECT_EQ(RenameFileNoLink(path_.c_str(), (temp_ / "x").c_str()), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// A folder made a Unix symbolic link from the Linux side, the only kind of
// link to a folder Wine has.
class LinkedFolderPath : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA(target_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(outer_.c_str(), nullptr));
    ASSERT_TRUE(link_.Plant(target_, linkPath_));
  }

  ScopedTempFolder temp_;
  const std::string target_ = temp_ / "target";
  const std::string outer_ = temp_ / "outer";
  const std::string linkPath_ = outer_ + "\\States";
  PlantedLink link_;
};

TEST_F(LinkedFolderPath, IsSeenByItsName) {
  EXPECT_TRUE(IsReparseFolder(linkPath_.c_str()));
  EXPECT_TRUE(IsReparseFolder((linkPath_ + "\\").c_str()));
  EXPECT_TRUE(IsInReparseFolder((linkPath_ + "\\agent.log").c_str()));

  EXPECT_FALSE(IsReparseFolder(outer_.c_str()));
  EXPECT_FALSE(IsReparseFolder(target_.c_str()));
  EXPECT_FALSE(IsInReparseFolder(linkPath_.c_str()));
  EXPECT_FALSE(IsInReparseFolder((target_ + "\\agent.log").c_str()));
  EXPECT_FALSE(IsReparseFolder((temp_ / "absent").c_str()));
  EXPECT_FALSE(IsInReparseFolder("C:\\agent.log"));
  EXPECT_FALSE(IsInReparseFolder("agent.log"));
}

TEST_F(LinkedFolderPath, RefusesPinsThatReachIt) {
  const std::string file = linkPath_ + "\\sub\\agent.log";
  ASSERT_TRUE(CreateDirectoryA((target_ + "\\sub").c_str(), nullptr));
  EXPECT_FALSE(PinnedFolders(file.c_str(), 1).refused());
  EXPECT_TRUE(PinnedFolders(file.c_str(), 2).refused());
  EXPECT_TRUE(PinnedFolders(file.c_str(), 3).refused());
  // More levels than the path has stop at the drive's root.
  EXPECT_TRUE(PinnedFolders(file.c_str(), 40).refused());
  EXPECT_FALSE(PinnedFolders((outer_ + "\\agent.log").c_str(), 40).refused());
}

TEST_F(LinkedFolderPath, MissingFoldersAreNoRefusal) {
  EXPECT_FALSE(PinnedFolders((temp_ / "absent\\deeper\\agent.log").c_str(), 3).refused());
}

}  // namespace

}  // namespace mardonel
