#include "common/log/log_file_name.h"

#include <gtest/gtest.h>

#include <string>

#include "common/fs/directory.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/unix_link.h"

namespace mardonel {

namespace {

TEST(IsUsableLogFileName, FullPathsOfPlainFilesOnly) {
  const struct {
    const char* name;
    bool usable;
  } cases[] = {
      {"", true},
      {"-", true},
      {"C:\\logs\\a.log", true},
      {"\\\\server\\share\\a.log", true},
      {"logs\\a.log", false},
      {"C:\\logs\\a\tb.log", false},
      {"C:\\temp\\nul", false},
      {"C:\\temp\\NUL.log", false},
      {"C:/temp/Con.txt.log", false},
      {"\\\\server\\share\\com1", false},
      {"C:\\temp\\lpt9 .log", false},
      {"C:\\temp\\aux", false},
      {"C:\\temp\\Prn.", false},
      {"C:\\temp\\conout$.log", false},
      {"C:\\temp\\nul\\a.log", true},
      {"C:\\temp\\console.log", true},
      {"C:\\temp\\com10.log", true},
      {"C:\\temp\\lpt.log", true},
      {"C:\\temp\\xnul", true},
      {"C:\\temp\\a.nul", true},
      // The device namespace, and streams.
      {"\\\\.\\PhysicalDrive0", false},
      {"\\\\.\\C:", false},
      {"//./pipe/x", false},
      {"\\\\.\\C:\\temp\\a.log", false},
      {"\\\\?\\GLOBALROOT\\Device\\Null", false},
      {"\\\\?\\globalroot\\Device\\HarddiskVolume1\\a.log", false},
      {"\\\\?\\PhysicalDrive0", false},
      {"\\\\?\\C:", false},
      {"\\\\?\\Volume{0b1e2f3a-0000-0000-0000-100000000000}\\a.log", false},
      {"\\\\?\\C:\\temp\\nul", false},
      {"\\\\?\\C:\\temp\\a.log", true},
      {"\\\\?\\UNC\\server\\share\\a.log", true},
      {"\\\\?\\unc\\server\\pipe\\x", false},
      {"\\\\server\\PIPE\\x", false},
      {"\\\\server\\mailslot\\x", false},
      {"\\\\\\share\\a.log", false},
      {"C:\\temp\\q.log:ads", false},
      {"C:\\temp\\q.log::$DATA", false},
      {"C:\\temp:ads\\q.log", false},
      {"\\\\?\\C:\\temp\\q.log:ads", false},
      {"\\\\server\\share\\q.log:ads", false},
      {"\\\\server\\pipes\\a.log", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUsableLogFileName(c.name), c.usable) << c.name;
}

// However it is written, a name in the history folder would have the log's
// rollover rename and then delete history files.
TEST(IsUsableLogFileName, NothingInTheHistoryFolder) {
  const ScopedTempFolder temp;
  const ScopedProfileFolder profile(temp.path());
  const std::string states = profile.StatesFolder();
  EXPECT_FALSE(IsUsableLogFileName(states + "20261208T.mgt")) << "before the folder exists";
  std::string made = states;
  ASSERT_EQ(CreateDirectoryPath(made.data()), 0u);
  ASSERT_TRUE(PlantUnixLink(temp.path(), temp / "alias"));
  const struct {
    std::string name;
    bool usable;
  } cases[] = {
      {states + "20261208T.mgt", false},
      {states + "sub\\a.log", false},
      {temp / "APPLICATION DATA/quarnel/ToveraAgt/states/a.log", false},
      {temp / "Application Data\\Quarnel\\ToveraAgt\\x\\..\\States\\a.log", false},
      {temp / "alias\\Application Data\\Quarnel\\ToveraAgt\\States\\a.log", false},
      {temp / "Application Data\\Quarnel\\ToveraAgt\\a.log", true},
      {temp / "Application Data\\Quarnel\\ToveraAgt\\States2\\a.log", true},
      {temp / "alias\\a.log", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUsableLogFileName(c.name), c.usable) << c.name;
}

}  // namespace

}  // namespace mardonel
