#include "common/fs/directory.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/win/win_owners.h"
#include "support/temp_folder.h"
#include "support/unix_link.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The names in `folder` in the order a search meets them.
std::vector<std::string> ListingOrder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  const unique_hfind search = unique_hfind(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
  if (!search) return names;
  do {
    if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0) {
      names.push_back(entry.cFileName);
    }
  } while (FindNextFileA(search.get(), &entry));
  return names;
}

// --- CreateDirectoryPath ---

TEST(CreateDirectoryPath, CreatesThreeMissingLevelsWhicheverSeparatorNamesThem) {
  for (const char* levels : {"one\\two\\three", "one/two/three", "one\\two/three"}) {
    ScopedTempFolder temp;
    std::string path = temp / levels;
    const std::string before = path;
    EXPECT_EQ(CreateDirectoryPath(path.data()), 0u) << levels;
    EXPECT_EQ(path, before) << "the text is given back as it came";
    EXPECT_TRUE(IsFolder(temp / "one")) << levels;
    EXPECT_TRUE(IsFolder(temp / "one\\two")) << levels;
    EXPECT_TRUE(IsFolder(temp / "one\\two\\three")) << levels;
  }
}

TEST(IsFullPath, OnlyDrivesWithASeparatorAndServersNameOnePlace) {
  for (const char* full :
       {"C:\\temp\\x.log", "c:/temp/x.log", "C:\\", "\\\\server\\share\\x.log", "//server/share/x.log"}) {
    EXPECT_TRUE(IsFullPath(full)) << full;
  }
  for (const char* relative : {"..\\logs\\x.log", "logs\\x.log", "x.log", "\\temp\\x.log", "C:x.log", "%LOGS%\\x.log",
                               "\\\\", "1:\\x.log", ""}) {
    EXPECT_FALSE(IsFullPath(relative)) << relative;
  }
}

TEST(CreateDirectoryPath, ExistingFolderIsSuccess) {
  ScopedTempFolder temp;
  std::string path = temp.path();
  EXPECT_EQ(CreateDirectoryPath(path.data()), 0u);
}

TEST(CreateDirectoryPath, TrailingBackslashIsAccepted) {
  ScopedTempFolder temp;
  std::string path = temp / "a\\b\\";
  EXPECT_EQ(CreateDirectoryPath(path.data()), 0u);
  EXPECT_EQ(path, temp / "a\\b\\");
  EXPECT_TRUE(IsFolder(temp / "a\\b"));
}

TEST(CreateDirectoryPath, UncreatableNameWithoutBackslashFails) {
  std::string name = "no|such<folder";
  EXPECT_EQ(CreateDirectoryPath(name.data()), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(name, "no|such<folder");
}

TEST(CreateDirectoryPath, FolderBelowAFileFails) {
  ScopedTempFolder temp;
  WriteWholeFile(temp / "file", "x");
  std::string path = temp / "file\\below";
  EXPECT_EQ(CreateDirectoryPath(path.data()), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

// --- JoinPathName ---

TEST(JoinPathName, PutsOneBackslashBetween) {
  char destination[MAX_PATH];
  EXPECT_STREQ(JoinPathName(destination, sizeof destination, "C:\\a", "b.txt"), "C:\\a\\b.txt");
  EXPECT_STREQ(JoinPathName(destination, sizeof destination, "C:\\a\\", "b.txt"), "C:\\a\\b.txt");
}

TEST(JoinPathName, DropsLeadingDotBackslashOfName) {
  char destination[MAX_PATH];
  EXPECT_STREQ(JoinPathName(destination, sizeof destination, "C:\\a", ".\\b.txt"), "C:\\a\\b.txt");
  EXPECT_STREQ(JoinPathName(destination, sizeof destination, "C:\\a", "..\\b"), "C:\\a\\..\\b");
}

TEST(JoinPathName, DestinationMayBeTheFolder) {
  char folder[MAX_PATH] = "C:\\a";
  EXPECT_EQ(JoinPathName(folder, sizeof folder, folder, "b"), folder);
  EXPECT_STREQ(folder, "C:\\a\\b");
}

TEST(JoinPathName, ExactFitSucceedsAndOneByteLessWritesNothing) {
  // "C:\a\b" and its terminator take 7 bytes.
  char destination[16];
  std::memset(destination, 'z', sizeof destination);
  EXPECT_EQ(JoinPathName(destination, 7, "C:\\a", "b"), destination);
  EXPECT_STREQ(destination, "C:\\a\\b");

  std::memset(destination, 'z', sizeof destination);
  EXPECT_EQ(JoinPathName(destination, 6, "C:\\a", "b"), nullptr);
  EXPECT_EQ(std::string(destination, sizeof destination), std::string(sizeof destination, 'z'));

  // A folder that brings its own backslash needs no byte for one.
  EXPECT_EQ(JoinPathName(destination, 7, "C:\\a\\", "b"), destination);
  EXPECT_STREQ(destination, "C:\\a\\b");
}

TEST(JoinPathName, TooLongForMaxPath) {
  char destination[MAX_PATH];
  const std::string folder(MAX_PATH - 3, 'f');
  EXPECT_NE(JoinPathName(destination, sizeof destination, folder.c_str(), "n"), nullptr);
  EXPECT_EQ(JoinPathName(destination, sizeof destination, folder.c_str(), "nn"), nullptr);
}

// --- RemoveDirectoryTree ---

TEST(RemoveDirectoryTree, RemovesEverythingDepthFirst) {
  ScopedTempFolder temp;
  const std::string root = temp / "tree";
  std::string deepest = root + "\\a\\b\\c";
  ASSERT_EQ(CreateDirectoryPath(deepest.data()), 0u);
  WriteWholeFile(root + "\\top.txt", "1");
  WriteWholeFile(root + "\\a\\b\\middle.txt", "2");
  WriteWholeFile(deepest + "\\hidden.txt", "3");
  SetFileAttributesA((deepest + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  RemoveDirectoryTree(root.c_str());
  EXPECT_FALSE(FileExists(root));
  EXPECT_TRUE(IsFolder(temp.path()));
}

TEST(RemoveDirectoryTree, StopsAtReadOnlyFileAndKeepsItsFolders) {
  ScopedTempFolder temp;
  const std::string root = temp / "tree";
  const std::string held = root + "\\held";
  std::string path = held;
  ASSERT_EQ(CreateDirectoryPath(path.data()), 0u);
  std::string other = root + "\\other\\inner";
  ASSERT_EQ(CreateDirectoryPath(other.data()), 0u);
  for (const char* name : {"a.txt", "b.txt", "locked.txt", "y.txt", "z.txt"}) WriteWholeFile(held + "\\" + name, name);
  WriteWholeFile(other + "\\gone.txt", "x");
  SetFileAttributesA((held + "\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::vector<std::string> order = ListingOrder(held);

  RemoveDirectoryTree(root.c_str());

  bool metLocked = false;
  for (const std::string& name : order) {
    if (name == "locked.txt") metLocked = true;
    EXPECT_EQ(FileExists(held + "\\" + name), metLocked) << name;
  }
  EXPECT_TRUE(IsFolder(held));
  EXPECT_TRUE(IsFolder(root));
  EXPECT_FALSE(FileExists(root + "\\other")) << "the walk above goes on with the other folders";
  SetFileAttributesA((held + "\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(RemoveDirectoryTree, MissingFolderIsNoFault) {
  ScopedTempFolder temp;
  RemoveDirectoryTree((temp / "absent").c_str());
  EXPECT_TRUE(IsFolder(temp.path()));
}

// A folder outside the tree, reached through a Unix symbolic link inside it.
class LinkedFolder : public testing::Test {
 protected:
  void SetUp() override {
    std::string tree = inside_;
    ASSERT_EQ(CreateDirectoryPath(tree.data()), 0u);
    std::string target = target_;
    ASSERT_EQ(CreateDirectoryPath(target.data()), 0u);
  }
  void TearDown() override { RemoveUnixLink(link_); }

  void PlantLink() {
    ASSERT_TRUE(PlantUnixLink(target_, link_));
    ASSERT_TRUE(GetFileAttributesA(link_.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
  }

  ScopedTempFolder temp_;
  const std::string root_ = temp_ / "tree";
  const std::string inside_ = root_ + "\\inside";
  const std::string link_ = inside_ + "\\link";
  const std::string target_ = temp_ / "target";
};

TEST_F(LinkedFolder, WalkNeverEntersTheLinkedFolder) {
  WriteWholeFile(target_ + "\\keep.txt", "keep");
  std::string nested = target_ + "\\nested";
  ASSERT_EQ(CreateDirectoryPath(nested.data()), 0u);
  WriteWholeFile(nested + "\\deep.txt", "deep");
  WriteWholeFile(inside_ + "\\own.txt", "own");
  PlantLink();

  RemoveDirectoryTree(root_.c_str());

  EXPECT_EQ(ReadWholeFile(target_ + "\\keep.txt"), "keep");
  EXPECT_EQ(ReadWholeFile(nested + "\\deep.txt"), "deep");
  EXPECT_FALSE(FileExists(inside_ + "\\own.txt")) << "the rest of the tree still goes";
}

TEST_F(LinkedFolder, EmptyLinkedFolderIsNotRemoved) {
  PlantLink();
  RemoveDirectoryTree(root_.c_str());
  EXPECT_TRUE(IsFolder(target_));
}

TEST_F(LinkedFolder, LinkGivenAsTheFolderItselfLeavesTheTarget) {
  WriteWholeFile(target_ + "\\keep.txt", "keep");
  PlantLink();
  RemoveDirectoryTree(link_.c_str());
  EXPECT_EQ(ReadWholeFile(target_ + "\\keep.txt"), "keep");

  ASSERT_TRUE(DeleteFileA((target_ + "\\keep.txt").c_str()));
  RemoveDirectoryTree(link_.c_str());
  EXPECT_TRUE(IsFolder(target_));
}

}  // namespace

}  // namespace mardonel
