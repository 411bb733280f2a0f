#include <gtest/gtest.h>

#include <cstdio>

#include "common/win/win_owners.h"
#include "log_queue.h"
#include "log_test_env.h"

namespace mardonel {

namespace {

// Pushes `text` as FormatLogRecord lays a record out: CR LF, then the text.
int PushText(PendingLogQueue& queue, const std::string& text) {
  const std::string record = "\r\n" + text;
  return queue.Push(record.c_str(), static_cast<int>(record.size()));
}

std::string PopText(PendingLogQueue& queue) {
  unique_pending_record record = queue.Pop();
  if (!record) return "<none>";
  EXPECT_EQ(record->text()[record->length], '\0');
  return std::string(record->text(), static_cast<std::size_t>(record->length));
}

TEST(PendingLogQueue, KeepsTheNewestRecordsInOrderAndCountsTheDropped) {
  PendingLogQueue queue(3, 1000);
  for (const char* text : {"a\r\n", "b\r\n", "c\r\n", "d\r\n", "e\r\n"}) EXPECT_EQ(PushText(queue, text), 3);
  EXPECT_EQ(queue.TakeDropped(), 2u);
  EXPECT_EQ(queue.TakeDropped(), 0u);
  EXPECT_EQ(PopText(queue), "c\r\n");
  EXPECT_EQ(PopText(queue), "d\r\n");
  EXPECT_EQ(PopText(queue), "e\r\n");
  EXPECT_TRUE(queue.empty());
  EXPECT_EQ(PopText(queue), "<none>");

  // Emptied, the queue starts a new list and fills up to its bound again.
  for (const char* text : {"f", "g", "h"}) PushText(queue, text);
  EXPECT_EQ(queue.TakeDropped(), 0u);
  EXPECT_EQ(PopText(queue), "f");
}

TEST(PendingLogQueue, BoundsTheTextBytesAndAlwaysKeepsTheNewestRecord) {
  PendingLogQueue queue(100, 10);
  PushText(queue, "1234");
  PushText(queue, "5678");
  PushText(queue, "90");  // exactly 10 bytes
  EXPECT_EQ(queue.TakeDropped(), 0u);
  PushText(queue, "ab");
  EXPECT_EQ(queue.TakeDropped(), 1u);
  PushText(queue, "a record larger than the bound");
  EXPECT_EQ(queue.TakeDropped(), 3u);
  EXPECT_EQ(PopText(queue), "a record larger than the bound");
  EXPECT_TRUE(queue.empty());
}

TEST(PendingLogQueue, EmptyRecordsAreNotKept) {
  PendingLogQueue queue(1, 1000);
  PushText(queue, "kept");
  EXPECT_EQ(PushText(queue, ""), 0);
  EXPECT_EQ(queue.TakeDropped(), 0u);
  EXPECT_EQ(PopText(queue), "kept");
}

using PendingLogBound = LogFileTest;

TEST_F(PendingLogBound, RecordsPastTheCountAreDroppedOldestFirstAndSaidSo) {
  unique_hfile holder =
      unique_hfile(CreateFileA(logPath_.c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  for (int index = 0; index < 4100; ++index) LogPrintf("record %d\n", index);
  holder.reset();
  LogPrintf("after\n");

  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u + 4096u + 1u);
  EXPECT_NE(lines[0].find(": 4 pending log records were dropped"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1], "record 4");
  EXPECT_EQ(lines[4096], "record 4099");
  // Formatted before the note was, so not indented under its stamp.
  EXPECT_EQ(lines[4097], "after");
}

TEST_F(PendingLogBound, TextPastOneMebibyteIsDroppedWhileTheLogIsOff) {
  log_.SetMaxFileSize(0);
  constexpr std::size_t kRecordBytes = 2900;  // "%04d " and the filler and CR LF
  const std::string filler = Filler(kRecordBytes - 7);
  for (int index = 0; index < 400; ++index) FastLogPrintf("%04d %s\n", index, filler.c_str());

  log_.SetMaxFileSize(1048576);
  LogPrintf("");
  const std::size_t kept = kMaxPendingLogBytes / kRecordBytes;
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u + kept);
  EXPECT_NE(lines[0].find(": " + std::to_string(400 - kept) + " pending log records were dropped"), std::string::npos);
  char firstKept[8];
  std::snprintf(firstKept, sizeof firstKept, "%04d ", static_cast<int>(400 - kept));
  EXPECT_EQ(lines[1].substr(0, 5), firstKept);
  EXPECT_EQ(lines.back().substr(0, 5), "0399 ");
}

}  // namespace

}  // namespace mardonel
