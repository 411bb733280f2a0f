#include "log_record.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstddef>
#include <string>

#include "common/log/log_escape.h"

namespace mardonel {

namespace {

constexpr char kGuard = '\x7f';

// Each test composes a run of records on a fresh formatter state.
class LogRecordTest : public testing::Test {
 protected:
  // Composes into a buffer of `size` bytes followed by guard bytes, checks
  // that the guards survive, and returns the record's bytes.
  std::string Compose(int size, const char* format, const char* stamp, ...) {
    std::string buffer(static_cast<std::size_t>(size) + 8, kGuard);
    va_list args;
    va_start(args, stamp);
    length_ = ComposeLogRecord(state_, buffer.data(), size, format, args, stamp);
    va_end(args);
    EXPECT_EQ(buffer.substr(static_cast<std::size_t>(size)), std::string(8, kGuard)) << "written past the buffer";
    EXPECT_GE(length_, 0);
    EXPECT_LT(length_, size);
    if (length_ >= 0 && length_ < size) {
      EXPECT_EQ(buffer[static_cast<std::size_t>(length_)], '\0');
    }
    return buffer.substr(0, static_cast<std::size_t>(length_));
  }

  LogStampState state_;
  int length_ = -1;
};

const char kStamp[] = "12/6/2026 22:58:02";  // 18 characters

TEST_F(LogRecordTest, StampedRecordCarriesStampTextAndCrLf) {
  const std::string record = Compose(kLogRecordSize, "%T: Found managed subnets [%s]\n", kStamp, "10.1.2.0");
  EXPECT_EQ(record, "\r\n12/6/2026 22:58:02: Found managed subnets [10.1.2.0]\r\n");
  EXPECT_EQ(length_, static_cast<int>(record.size()));
  EXPECT_TRUE(state_.stampSeen);
  EXPECT_EQ(state_.stampLength, 18);
  EXPECT_FALSE(state_.lineContinues);
}

TEST_F(LogRecordTest, StampAloneAndStampWithLineFeed) {
  EXPECT_EQ(Compose(kLogRecordSize, "%T", kStamp), std::string("\r\n") + kStamp);
  EXPECT_TRUE(state_.lineContinues);
  EXPECT_EQ(Compose(kLogRecordSize, "%T\n", kStamp), std::string("\r\n") + kStamp + "\r\n");
  EXPECT_FALSE(state_.lineContinues);
}

TEST_F(LogRecordTest, OnlyAnExactLeadingUpperCaseTokenStamps) {
  EXPECT_EQ(Compose(kLogRecordSize, "%td items\n", kStamp, static_cast<std::ptrdiff_t>(5)), "\r\n5 items\r\n");
  EXPECT_EQ(Compose(kLogRecordSize, " %%T\n", kStamp), "\r\n %T\r\n");
  EXPECT_FALSE(state_.stampSeen);
}

TEST_F(LogRecordTest, UnstampedLinesAreIndentedOnlyAfterTheFirstStamp) {
  EXPECT_EQ(Compose(kLogRecordSize, "%s\n", kStamp, "before"), "\r\nbefore\r\n");
  Compose(kLogRecordSize, "%T: x\n", kStamp);
  EXPECT_EQ(Compose(kLogRecordSize, "%s\n", kStamp, "after"), "\r\n" + std::string(20, ' ') + "after\r\n");
}

TEST_F(LogRecordTest, IndentationFollowsTheMostRecentStampLength) {
  Compose(kLogRecordSize, "%T: x\n", "12/16/2026 22:58:02");  // 19 characters
  EXPECT_EQ(Compose(kLogRecordSize, "y\n", nullptr), "\r\n" + std::string(21, ' ') + "y\r\n");
  Compose(kLogRecordSize, "%T: x\n", "1/6/2026 22:58:02");  // 17 characters
  EXPECT_EQ(Compose(kLogRecordSize, "y\n", nullptr), "\r\n" + std::string(19, ' ') + "y\r\n");
}

TEST_F(LogRecordTest, LongStampsIndentByTwentyOneSpaces) {
  Compose(kLogRecordSize, "%T: x\n", std::string(23, 's').c_str());
  EXPECT_EQ(Compose(kLogRecordSize, "y\n", nullptr), "\r\n" + std::string(25, ' ') + "y\r\n");
  Compose(kLogRecordSize, "%T: x\n", std::string(24, 's').c_str());
  EXPECT_EQ(Compose(kLogRecordSize, "y\n", nullptr), "\r\n" + std::string(21, ' ') + "y\r\n");
}

TEST_F(LogRecordTest, ContinuedLineIsNotIndented) {
  Compose(kLogRecordSize, "%T: first part ", kStamp);
  EXPECT_TRUE(state_.lineContinues);
  EXPECT_EQ(Compose(kLogRecordSize, "second part\n", nullptr), "\r\nsecond part\r\n");
  EXPECT_FALSE(state_.lineContinues);
  EXPECT_EQ(Compose(kLogRecordSize, "new line\n", nullptr), "\r\n" + std::string(20, ' ') + "new line\r\n");
}

TEST_F(LogRecordTest, EmptyFormatGivesTwoBytesAndKeepsLineState) {
  state_.lineContinues = true;
  EXPECT_EQ(Compose(kLogRecordSize, "", kStamp), "\r\n");
  EXPECT_EQ(length_, 2);
  EXPECT_TRUE(state_.lineContinues);
  state_.lineContinues = false;
  Compose(kLogRecordSize, "", kStamp);
  EXPECT_FALSE(state_.lineContinues);
}

TEST_F(LogRecordTest, OnlyTheFinalLineFeedBecomesCrLf) {
  EXPECT_EQ(Compose(kLogRecordSize, "a\nb\n", nullptr), "\r\na\nb\r\n");
  EXPECT_EQ(Compose(kLogRecordSize, "ends in crlf\r\n", nullptr), "\r\nends in crlf\r\r\n");
}

TEST_F(LogRecordTest, OverlongRecordIsCutWithMarkerInsideTheBuffer) {
  const std::string text(4000, 'x');
  for (const char* format : {"%s\n", "%s"}) {
    const std::string record = Compose(kLogRecordSize, format, nullptr, text.c_str());
    EXPECT_EQ(length_, 2999) << format;
    EXPECT_EQ(record.substr(record.size() - 6), "...\r\r\n") << format;
    EXPECT_EQ(record.substr(2, 2991), std::string(2991, 'x')) << format;
    EXPECT_FALSE(state_.lineContinues);
  }
}

TEST_F(LogRecordTest, OverlongStampedRecordIsCutTheSameWay) {
  const std::string text(4000, 'x');
  const std::string record = Compose(kLogRecordSize, "%T: %s\n", kStamp, text.c_str());
  EXPECT_EQ(length_, 2999);
  EXPECT_EQ(record.substr(0, 22), std::string("\r\n") + kStamp + ": ");
  EXPECT_EQ(record.substr(record.size() - 6), "...\r\r\n");
}

TEST_F(LogRecordTest, BodyFillingTheSpaceExactlyCountsAsCut) {
  // The body may take size - 3 bytes; one byte less still fits with its CR LF.
  const std::string exact = std::string(kLogRecordSize - 4, 'x') + "\n";
  std::string record = Compose(kLogRecordSize, "%s", nullptr, exact.c_str());
  EXPECT_EQ(length_, 2999);
  EXPECT_EQ(record.substr(record.size() - 6), "...\r\r\n");

  const std::string fits = std::string(kLogRecordSize - 5, 'x') + "\n";
  record = Compose(kLogRecordSize, "%s", nullptr, fits.c_str());
  EXPECT_EQ(length_, 2999);
  EXPECT_EQ(record, "\r\n" + std::string(kLogRecordSize - 5, 'x') + "\r\n");
}

TEST_F(LogRecordTest, SmallBuffersKeepTheirFraming) {
  EXPECT_EQ(Compose(8, "%s\n", nullptr, "too long for it"), "\r\n");
  EXPECT_EQ(Compose(9, "%s\n", nullptr, "too long for it"), "\r\n...\r\r\n");
  EXPECT_EQ(Compose(9, "ab\n", nullptr), "\r\nab\r\n");
  Compose(9, "%T: x\n", "a stamp longer than the buffer");
  EXPECT_EQ(length_, 8);
}

TEST(EscapedForLog, ControlCharactersAndBackslashesAreWrittenOutAndNothingElse) {
  const struct {
    std::string text;
    const char* shown;
  } cases[] = {
      {"10.1.0.0;C:\\logs\\a b.log", "10.1.0.0;C:\\\\logs\\\\a b.log"},
      {"10.1.0.0\r\n12/8/2026 07:00:00: forged", "10.1.0.0\\r\\n12/8/2026 07:00:00: forged"},
      {"10.1.0.0\\r\\n12/8/2026", "10.1.0.0\\\\r\\\\n12/8/2026"},
      {"a\tb", "a\\tb"},
      {std::string("a\0b\x1b\x7f", 5), "a\\x00b\\x1B\\x7F"},
      {"\xE9t\xE9", "\xE9t\xE9"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapedForLog(c.text), c.shown) << c.shown;
}

}  // namespace

}  // namespace mardonel
