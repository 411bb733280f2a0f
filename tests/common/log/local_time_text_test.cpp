#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>

#include "common/win/file_time.h"
#include "log_format.h"
#include "log_record.h"
#include "support/child_run.h"
#include "support/file_times.h"

namespace mardonel {

namespace {

LocalReading FileTimeAt(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD milliseconds) {
  SYSTEMTIME time = {};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = milliseconds;
  FILETIME fileTime;
  SystemTimeToFileTime(&time, &fileTime);
  return TimePointOf<LocalClock>(fileTime);
}

// What the text must be for `time`, in whatever short date format the
// machine has.
std::string ExpectedText(const SYSTEMTIME& time) {
  char date[20] = {};
  GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
  char text[40];
  std::snprintf(text, sizeof text, "%s %02d:%02d:%02d", date, time.wHour, time.wMinute, time.wSecond);
  return text;
}

std::string ExpectedText(LocalReading local) {
  const FILETIME fileTime = FileTimeOf(local);
  SYSTEMTIME time;
  FileTimeToSystemTime(&fileTime, &time);
  return ExpectedText(time);
}

// Calls `read` until the local clock did not move to another second meanwhile.
template <typename Read>
void ExpectLocalNow(Read read) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    const std::string text = read();
    SYSTEMTIME after;
    GetLocalTime(&after);
    if (before.wSecond != after.wSecond) continue;
    EXPECT_EQ(text, ExpectedText(before));
    return;
  }
  ADD_FAILURE() << "the clock never held still for a second";
}

int Format(char* buffer, int size, const char* format, ...) {
  LogStampState state;
  va_list args;
  va_start(args, format);
  const int length = FormatLogRecord(state, buffer, size, format, args);
  va_end(args);
  return length;
}

const LocalReading kMorning = FileTimeAt(2026, 12, 7, 9, 5, 3, 700);

TEST(LocalTimeText, GivenTimeIsShownWithoutFractions) {
  char text[40];
  EXPECT_EQ(LocalTimeText(text, sizeof text, kMorning), text);
  EXPECT_EQ(std::string(text), ExpectedText(kMorning));
  EXPECT_EQ(std::string(text).substr(std::strlen(text) - 9), " 09:05:03");
}

TEST(LocalTimeText, ZeroMeansTheLocalTimeNow) {
  ExpectLocalNow([] {
    char text[40];
    return std::string(LocalTimeText(text, sizeof text, LocalReading()));
  });
}

TEST(LocalTimeText, StaticBuffersAlternate) {
  const LocalReading evening = FileTimeAt(2026, 12, 6, 22, 58, 2, 0);
  const LocalReading night = FileTimeAt(2026, 1, 2, 0, 0, 1, 0);
  const char* first = LocalTimeText(nullptr, 0, kMorning);
  const char* second = LocalTimeText(nullptr, 0, evening);
  EXPECT_NE(first, second);
  EXPECT_EQ(std::string(first), ExpectedText(kMorning));
  EXPECT_EQ(std::string(second), ExpectedText(evening));

  const char* third = LocalTimeText(nullptr, 0, night);
  EXPECT_EQ(third, first);
  EXPECT_EQ(std::string(first), ExpectedText(night));
  EXPECT_EQ(std::string(second), ExpectedText(evening));
}

TEST(LocalTimeText, CallerBufferBoundsTheText) {
  char text[12];
  std::memset(text, 'z', sizeof text);
  LocalTimeText(text, 10, kMorning);
  EXPECT_EQ(std::string(text), ExpectedText(kMorning).substr(0, 9));
  EXPECT_EQ(text[10], 'z');

  std::memset(text, 'z', sizeof text);
  LocalTimeText(text, 0, kMorning);
  EXPECT_EQ(text[0], 'z');
}

TEST(LocalTimeText, UnconvertibleTimeLeavesTheDateEmpty) {
  char text[40];
  EXPECT_EQ(std::string(LocalTimeText(text, sizeof text, LocalReading(FileTimeUnits(0x8000000000000000ULL)))),
            " 00:00:00");
}

TEST(FormatLogRecord, StampIsTheLocalTimeText) {
  ExpectLocalNow([] {
    char record[kLogRecordSize];
    const int length = Format(record, sizeof record, "%T: value %d\n", 42);
    const std::string text(record, static_cast<std::size_t>(length));
    EXPECT_EQ(text.substr(text.size() - 12), ": value 42\r\n");
    return text.substr(2, text.size() - 14);
  });
}

TEST(FormatLogRecord, BodyFillingTheSpaceExactlyStaysInside) {
  const std::string exact = std::string(kLogRecordSize - 4, 'x') + "\n";
  std::string record(kLogRecordSize + 4, '\x7f');
  const int length = Format(record.data(), kLogRecordSize, "%s", exact.c_str());
  EXPECT_EQ(length, kLogRecordSize - 1);
  EXPECT_EQ(record.substr(static_cast<std::size_t>(length) - 6, 7), std::string("...\r\r\n") + '\0');
  EXPECT_EQ(record.substr(kLogRecordSize), std::string(4, '\x7f'));
}

// Under a zone nine hours ahead and an English locale: a given time is
// broken down as it stands, while zero still means local, not UTC, time.
TEST(LocalTimeTextInZone, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of LocalTimeTextZone";
  FILETIME utcNow;
  GetSystemTimeAsFileTime(&utcNow);
  const auto bias = static_cast<std::int64_t>(LocalNowFileTime() - FileTimeValue(utcNow));
  ASSERT_NEAR(static_cast<double>(bias), 9 * 36000000000.0, 600000000.0) << "zone not in effect";

  char text[40];
  EXPECT_STREQ(LocalTimeText(text, sizeof text, kMorning), "12/7/2026 09:05:03");
  ExpectLocalNow([] {
    char now[40];
    return std::string(LocalTimeText(now, sizeof now, LocalReading()));
  });
  SYSTEMTIME utc;
  SYSTEMTIME local;
  GetSystemTime(&utc);
  GetLocalTime(&local);
  EXPECT_NE(utc.wHour, local.wHour);
}

TEST(LocalTimeTextZone, TokyoWithEnglishShortDate) {
  EXPECT_TRUE(RunTestsInChild("LocalTimeTextInZone.Child", {"TZ=Asia/Tokyo", "LANG=en_US.UTF-8"}));
}

}  // namespace

}  // namespace mardonel
