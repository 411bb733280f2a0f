#include "common/log/log_file_name.h"

#include <gtest/gtest.h>

namespace mardonel {

namespace {

TEST(IsUsableLogFileName, FullPathsThatNameNoDevice) {
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
}

}  // namespace

}  // namespace mardonel
