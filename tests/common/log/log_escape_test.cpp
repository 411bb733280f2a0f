#include "common/log/log_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace mardonel {

namespace {

TEST(EscapedForLog, ControlCharactersAreWrittenOutAndNothingElse) {
  const struct {
    std::string text;
    const char* shown;
  } cases[] = {
      {"10.1.0.0;C:\\logs\\a b.log", "10.1.0.0;C:\\logs\\a b.log"},
      {"10.1.0.0\r\n12/8/2026 07:00:00: forged", "10.1.0.0\\r\\n12/8/2026 07:00:00: forged"},
      {"a\tb", "a\\tb"},
      {std::string("a\0b\x1b\x7f", 5), "a\\x00b\\x1B\\x7F"},
      {"\xE9t\xE9", "\xE9t\xE9"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapedForLog(c.text), c.shown) << c.shown;
}

}  // namespace

}  // namespace mardonel
