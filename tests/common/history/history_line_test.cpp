#include "common/history/history_line.h"

#include <gtest/gtest.h>

#include <string>

namespace mardonel {

namespace {

// A record whose event time is the FILETIME count `count`.
HistoryRecord Written(std::uint64_t count, ManagedState state, RecordReason reason) {
  return HistoryRecord{LocalReading(FileTimeUnits(count)), state, reason};
}

TEST(HistoryLine, ComposedAsTheModuleWritesAndReadBack) {
  struct Case {
    HistoryRecord record;
    const char* timeText;
    const char* line;
  };
  const Case cases[] = {
      {Written(134410221425000000, kManaged, RecordReason::kStartup), "12/6/2026 09:15:42",
       "134410221425000000,2,Startup,12/6/2026 09:15:42\r\n"},
      {Written(134410221425000000, kUnmanaged, RecordReason::kSleep), "06.12.2026 09:15:42",
       "134410221425000000,1,Sleep,06.12.2026 09:15:42\r\n"},
      {Written(134409888000000000, kUnmanaged, RecordReason::kInitialised), "2026-12-06 00:00:00",
       "134409888000000000,1,INITIALISED,2026-12-06 00:00:00\r\n"},
      {Written(134410221425000000, kUnmanaged, RecordReason::kOutOfSuspend), "06,12,2026 09:15:42",
       "134410221425000000,1,Out of suspend,06,12,2026 09:15:42\r\n"},
      {Written(134410221425000000, kManaged, RecordReason::kNetAdaptersChanged), "12/6/2026 09:15:42",
       "134410221425000000,2,Net Adapters changed,12/6/2026 09:15:42\r\n"},
      {Written(134410221425000000, kManaged, RecordReason::kHeartbeat), "12/6/2026 09:15:42",
       "134410221425000000,2,Heartbeat,12/6/2026 09:15:42\r\n"},
      {Written(0, kUnmanaged, RecordReason::kShutdown), "1/1/1601 00:00:00", "0,1,Shutdown,1/1/1601 00:00:00\r\n"},
      // No short date could be made; the longest the module writes.
      {Written(134410221425000000, kManaged, RecordReason::kHeartbeat), " 09:15:42",
       "134410221425000000,2,Heartbeat, 09:15:42\r\n"},
      {Written(134410221425000000, kManaged, RecordReason::kHeartbeat), "Sunday 06 Dec. 2026 09:15:42",
       "134410221425000000,2,Heartbeat,Sunday 06 Dec. 2026 09:15:42\r\n"},
      // 31 December 9999 23:59:59.9999999, the last time a record may carry.
      {Written(2650467743999999999, kManaged, RecordReason::kHeartbeat), "12/31/9999 23:59:59",
       "2650467743999999999,2,Heartbeat,12/31/9999 23:59:59\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HistoryRecordLine(c.record, c.timeText), c.line);
    const std::string line = c.line;
    const ParsedLine parsed = ParseHistoryLine(std::string_view(line).substr(0, line.size() - 2));
    ASSERT_TRUE(parsed) << line << parsed.reason();
    EXPECT_EQ(parsed->eventTime, c.record.eventTime) << line;
    EXPECT_EQ(parsed->state, c.record.state) << line;
    EXPECT_EQ(parsed->reason, c.record.reason) << line;
  }
}

TEST(HistoryLine, TornAndForeignLinesAreNamedNotRead) {
  struct Case {
    std::string line;
    const char* why;
  };
  const Case cases[] = {
      {"", "fewer than four fields"},
      {"134410221425000000,2,Heartb", "fewer than four fields"},
      {"134410221425000000,2,Heartbeat,12/6/2026 09:1", "time text does not match the event time"},
      {"134410221425000000,2,Heartbeat,12/6/2026 09:15:43", "time text does not match the event time"},
      {"134410221425000000,2,Heartbeat,09:15:42", "time text does not match the event time"},
      {"134410221425000000,2,Heartbeat,Sunday, 06 Dec. 2026 09:15:42", "time text does not match the event time"},
      {"134410221425000000,2,Heart134410221425000000,2,Heartbeat,12/6/2026 09:15:42", "unknown reason"},
      {"134410221425000000,3,Startup,12/6/2026 09:15:42", "state is neither 1 nor 2"},
      {"134410221425000000,02,Startup,12/6/2026 09:15:42", "state is neither 1 nor 2"},
      {"134410221425000000,2,startup,12/6/2026 09:15:42", "unknown reason"},
      {"0134410221425000000,2,Startup,12/6/2026 09:15:42", "event time is not a plain number"},
      {"-134410221425000000,2,Startup,12/6/2026 09:15:42", "event time is not a plain number"},
      {"18446744073709551615,2,Startup,12/6/2026 09:15:42", "event time is not a plain number"},
      // 1 January 10000 00:00:00.
      {"2650467744000000000,2,Startup,1/1/10000 00:00:00", "event time out of range"},
      {std::string("134410221425000000,2,Startup\0,12/6/2026 09:15:42", 48), "unknown reason"},
  };
  for (const Case& c : cases) {
    const ParsedLine parsed = ParseHistoryLine(c.line);
    ASSERT_FALSE(parsed) << c.line;
    EXPECT_STREQ(parsed.reason(), c.why) << c.line;
  }
}

}  // namespace

}  // namespace mardonel
