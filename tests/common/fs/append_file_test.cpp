// Writes that take part of what they are given, as a filling disk does; the
// platform here cuts one short only at a file-size limit.
#include "common/fs/append_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

int writesLeft = 0;  // ten bytes each; then a write that fails, or one that takes nothing
bool endTakesNothing = false;

BOOL WINAPI TenBytesAtATime(HANDLE file, LPCVOID data, DWORD length, LPDWORD written, LPOVERLAPPED at) {
  if (writesLeft-- > 0) return WriteFile(file, data, std::min<DWORD>(length, 10), written, at);
  *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return endTakesNothing ? TRUE : FALSE;
}

TEST(WriteAll, GoesOnFromWhereEachPartialWriteEndedAndStopsAtOneThatTakesNothing) {
  const std::string text = "0123456789abcdefghijKLMNOPQRSTuvw\r\n";
  struct Case {
    int writes;
    bool takesNothing;
    std::size_t kept;
    DWORD error;  // 0: all written
  };
  for (const Case& c :
       {Case{4, false, 35, 0}, Case{2, false, 20, ERROR_DISK_FULL}, Case{3, true, 30, ERROR_WRITE_FAULT}}) {
    const ScopedTempFolder temp;
    NoLinkFile file = OpenForAppend((temp / "cut.txt").c_str());
    ASSERT_TRUE(file.ok());
    writesLeft = c.writes;
    endTakesNothing = c.takesNothing;
    EXPECT_EQ(WriteAll(file.value().handle.get(), text.data(), static_cast<DWORD>(text.size()), TenBytesAtATime),
              c.error)
        << c.writes;
    file.value().handle.reset();
    EXPECT_EQ(ReadWholeFile(temp / "cut.txt"), text.substr(0, c.kept)) << c.writes;
  }
}

}  // namespace

}  // namespace mardonel
