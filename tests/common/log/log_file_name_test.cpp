#include "common/log/log_file_name.h"

#include <gtest/gtest.h>

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
  };
  for (const auto& c : cases) EXPECT_EQ(IsUsableLogFileName(c.name), c.usable) << c.name;
  // The device namespace but a drive's or a share's path, and streams.
  for (const char* name :
       {"\\\\.\\PhysicalDrive0", "\\\\.\\C:", "//./pipe/x", "\\\\.\\C:\\temp\\a.log", "\\\\?\\GLOBALROOT\\Device\\Null",
        "\\\\?\\globalroot\\Device\\x", "\\\\?\\PhysicalDrive0", "\\\\?\\C:", "\\\\?\\Volume{1}\\a.log",
        "\\\\?\\C:\\temp\\nul", "\\\\?\\unc\\server\\pipe\\x", "\\\\server\\PIPE\\x", "\\\\server\\mailslot\\x",
        "\\\\\\share\\a.log", "C:\\temp\\q.log:ads", "C:\\temp\\q.log::$DATA", "C:\\temp:ads\\q.log",
        "\\\\?\\C:\\temp\\q.log:ads", "\\\\server\\share\\q.log:ads"}) {
    EXPECT_FALSE(IsUsableLogFileName(name)) << name;
  }
  for (const char* name : {"\\\\?\\C:\\temp\\a.log", "\\\\?\\UNC\\server\\share\\a.log", "\\\\server\\pipes\\a.log"}) {
    EXPECT_TRUE(IsUsableLogFileName(name)) << name;
  }
}

// However it is written, a name in the history folder would have the log's
// rollover rename and then delete history files.
TEST(IsUsableLogFileName, NothingInTheHistoryFolder) {
  const ScopedTempFolder temp;
  const ScopedProfileFolder profile(temp.path());
  std::string states = profile.StatesFolder();
  EXPECT_FALSE(IsUsableLogFileName(states + "20261208T.mgt")) << "before the folder exists";
  ASSERT_EQ(CreateDirectoryPath(states.data()), 0u);
  ASSERT_TRUE(PlantUnixLink(temp.path(), temp / "alias"));
  for (const std::string& name :
       {states + "sub\\a.log", temp / "APPLICATION DATA/quarnel/ToveraAgt/states/a.log",
        states + "..\\x\\..\\States\\a.log", temp / "alias" + states.substr(temp.path().size()) + "a.log"}) {
    EXPECT_FALSE(IsUsableLogFileName(name)) << name;
  }
  for (const std::string& name : {states + "..\\a.log", states + "..\\States2\\a.log", temp / "alias\\a.log"}) {
    EXPECT_TRUE(IsUsableLogFileName(name)) << name;
  }
}

}  // namespace

}  // namespace mardonel
