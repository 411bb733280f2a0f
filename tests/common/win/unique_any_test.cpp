#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "common/win/unique_any.h"

namespace mardonel {

namespace {

int closed = 0;

// A close that fails and says so through the thread's last error.
void FailingClose(int) {
  ++closed;
  SetLastError(ERROR_INVALID_HANDLE);
}

using unique_test_handle = unique_any<int, FailingClose>;

TEST(UniqueAny, ClosingKeepsTheThreadsLastError) {
  const struct {
    const char* way;
    std::function<void(unique_test_handle&)> close;
  } cases[] = {
      {"reset", [](unique_test_handle& owner) { owner.reset(); }},
      {"reset to another", [](unique_test_handle& owner) { owner.reset(8); }},
      {"move-assigned", [](unique_test_handle& owner) { owner = unique_test_handle(); }},
      {"put", [](unique_test_handle& owner) { owner.put(); }},
      {"destroyed", [](unique_test_handle& owner) { const unique_test_handle last = std::move(owner); }},
  };
  for (const auto& c : cases) {
    unique_test_handle owner(7);
    closed = 0;
    SetLastError(ERROR_FILE_NOT_FOUND);
    c.close(owner);
    EXPECT_EQ(closed, 1) << c.way;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << c.way;
  }
}

}  // namespace

}  // namespace mardonel
