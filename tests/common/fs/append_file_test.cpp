// Writes that take only part of what they are given, as a filling disk does:
// the platform here cuts a write short only at a file-size limit, so a writer
// in the test takes ten bytes a call.
#include "common/fs/append_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

int writesLeft = 0;            // writes that take their ten bytes before the end
bool endTakesNothing = false;  // the end: a write that takes nothing, else one that fails

BOOL WINAPI TenBytesAtATime(HANDLE file, LPCVOID data, DWORD length, LPDWORD written, LPOVERLAPPED at) {
  if (writesLeft-- > 0) return WriteFile(file, data, std::min<DWORD>(length, 10), written, at);
  *written = 0;
  if (endTakesNothing) return TRUE;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

TEST(WriteAll, GoesOnFromWhereEachPartialWriteEndedAndStopsAtOneThatTakesNothing) {
  const std::string text = "0123456789abcdefghijKLMNOPQRSTuvw\r\n";
  struct Case {
    int writes;
    bool takesNothing;
    bool whole;
    std::size_t kept;
    DWORD error;
  };
  for (const Case& c : {Case{4, false, true, 35, 0}, Case{2, false, false, 20, ERROR_DISK_FULL},
                        Case{3, true, false, 30, ERROR_WRITE_FAULT}}) {
    const ScopedTempFolder temp;
    const std::string path = temp / "cut.txt";
    NoLinkFile file = OpenForAppend(path.c_str());
    ASSERT_TRUE(file.file);
    writesLeft = c.writes;
    endTakesNothing = c.takesNothing;
    const bool whole = WriteAll(file.file.get(), text.data(), static_cast<DWORD>(text.size()), TenBytesAtATime);
    EXPECT_EQ(whole, c.whole) << c.writes;
    if (!whole) {
      EXPECT_EQ(GetLastError(), c.error) << c.writes;
    }
    file.file.reset();
    EXPECT_EQ(ReadWholeFile(path), text.substr(0, c.kept)) << c.writes;
  }
}

}  // namespace

}  // namespace mardonel
