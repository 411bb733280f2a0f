#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "log_test_env.h"

namespace mardonel {

namespace {

constexpr int kThreads = 8;
constexpr int kRecordsPerThread = 400;

using LogThreads = LogFileTest;

TEST_F(LogThreads, EveryRecordOfEveryThreadIsWrittenOnceWholeAndInItsThreadsOrder) {
  log_.SetMaxFileSize(64 * 1024 * 1024);
  const std::string payload = Filler(150, '=');
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([thread, &payload] {
      for (int record = 0; record < kRecordsPerThread; ++record) {
        // Half of each thread's records wait in the queue for any thread's
        // next write.
        if (record % 2 == 0) {
          LogPrintf("%T: thread %d record %d %s\n", thread, record, payload.c_str());
        } else {
          FastLogPrintf("%T: thread %d record %d %s\n", thread, record, payload.c_str());
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  LogPrintf("");

  std::vector<int> next(kThreads, 0);
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kRecordsPerThread));
  for (const std::string& line : lines) {
    const std::size_t text = line.find(": thread ");
    ASSERT_NE(text, std::string::npos) << line;
    int thread = -1;
    int record = -1;
    ASSERT_EQ(std::sscanf(line.c_str() + text, ": thread %d record %d", &thread, &record), 2) << line;
    ASSERT_TRUE(thread >= 0 && thread < kThreads) << line;
    EXPECT_EQ(record, next[thread]) << line;
    next[thread] = record + 1;
    char expected[64];
    std::snprintf(expected, sizeof expected, ": thread %d record %d ", thread, record);
    EXPECT_EQ(line.substr(text), expected + payload);
    EXPECT_EQ(line.find(": thread ", text + 1), std::string::npos) << line;
  }
  for (int thread = 0; thread < kThreads; ++thread) EXPECT_EQ(next[thread], kRecordsPerThread);
}

}  // namespace

}  // namespace mardonel
