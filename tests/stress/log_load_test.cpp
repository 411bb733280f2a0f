// Eight threads writing and queueing log records at once, with and without
// rollover: no record may be torn, interleaved, lost or written twice.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "stress_env.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr int kThreads = 8;
constexpr int kRecordsPerThread = 10000;
constexpr int kRecords = kThreads * kRecordsPerThread;

struct RecordId {
  int thread;
  int number;
};

// A record's text is "T<thread> N<number>", after either a stamp and ": " or
// the indentation of an unstamped line. Anything else is a torn record.
std::optional<RecordId> ParseRecord(const std::string& line) {
  std::size_t body = 0;
  if (!line.empty() && line[0] == ' ') {
    body = line.find_first_not_of(' ');
  } else {
    body = line.find(": T");
    if (body == std::string::npos || body == 0) return std::nullopt;
    if (line.find_first_not_of("0123456789/.- :", 0) < body) return std::nullopt;
    body += 2;
  }
  if (body == std::string::npos) return std::nullopt;
  RecordId id{};
  int used = 0;
  if (std::sscanf(line.c_str() + body, "T%d N%d%n", &id.thread, &id.number, &used) != 2) return std::nullopt;
  char expected[32];
  std::snprintf(expected, sizeof expected, "T%d N%d", id.thread, id.number);
  if (line.compare(body, std::string::npos, expected) != 0) return std::nullopt;
  if (id.thread < 0 || id.thread >= kThreads || id.number < 0 || id.number >= kRecordsPerThread) return std::nullopt;
  return id;
}

// Every thread writes its records in order; a third of them only queued,
// to be written by whichever thread writes next. Returns the milliseconds.
long RunWriters() {
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([thread, &go] {
      while (!go.load()) std::this_thread::yield();
      for (int number = 0; number < kRecordsPerThread; ++number) {
        const char* format = number % 2 == 0 ? "%T: T%d N%d\n" : "T%d N%d\n";
        if (number % 3 == 2) {
          FastLogPrintf(format, thread, number);
        } else {
          LogPrintf(format, thread, number);
        }
      }
    });
  }
  const DWORD start = GetTickCount();
  go = true;
  for (std::thread& thread : threads) thread.join();
  LogPrintf("");  // the last queued records
  return static_cast<long>(GetTickCount() - start);
}

std::vector<std::string> LinesOf(const std::string& path) {
  return FileExists(path) ? SplitLines(ReadWholeFile(path)) : std::vector<std::string>();
}

std::int64_t SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Checks that `lines`, oldest first, hold whole records only, each once, and
// for each thread that appears a run of consecutive numbers that ends with
// its last record. Returns each thread's first number, -1 when it is absent.
std::vector<int> CheckRecords(const std::vector<std::string>& lines) {
  std::vector<int> first(kThreads, -1);
  std::vector<int> next(kThreads, -1);
  int torn = 0;
  for (const std::string& line : lines) {
    const std::optional<RecordId> id = ParseRecord(line);
    if (!id) {
      if (++torn <= 5) ADD_FAILURE() << "not one whole record: [" << line << "]";
      continue;
    }
    if (first[id->thread] < 0) {
      first[id->thread] = id->number;
    } else if (id->number != next[id->thread]) {
      ADD_FAILURE() << "thread " << id->thread << ": record " << id->number << " where " << next[id->thread]
                    << " was due";
    }
    next[id->thread] = id->number + 1;
  }
  EXPECT_EQ(torn, 0);
  for (int thread = 0; thread < kThreads; ++thread) {
    if (first[thread] < 0) continue;
    EXPECT_EQ(next[thread], kRecordsPerThread) << "thread " << thread << " lost its last records";
  }
  return first;
}

class LogLoad : public testing::Test {
 protected:
  ScopedTempFolder temp_;
  std::string logPath_ = temp_ / "load.log";
  std::string backupPath_ = temp_ / "load.lo_";
};

TEST_F(LogLoad, EightThreadsWithoutRolloverWriteEveryRecordOnceWholeAndInOrder) {
  const CapturedLog settings(9, 64 << 20, logPath_);
  ReportFigure("milliseconds", RunWriters());

  EXPECT_FALSE(FileExists(backupPath_));
  const std::vector<std::string> lines = LinesOf(logPath_);
  ReportFigure("records_written", kRecords);
  ReportFigure("lines_in_log", static_cast<std::int64_t>(lines.size()));
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(kRecords));
  const std::vector<int> first = CheckRecords(lines);
  for (int thread = 0; thread < kThreads; ++thread) EXPECT_EQ(first[thread], 0) << "thread " << thread;
}

TEST_F(LogLoad, EightThreadsThroughRolloversLeaveWholeRecordsInOrderInLogAndBackup) {
  // The smallest limit the log allows: about 270 records of 30 bytes a file.
  const CapturedLog settings(9, 8192, logPath_);
  ReportFigure("milliseconds", RunWriters());

  const std::vector<std::string> backup = LinesOf(backupPath_);
  const std::vector<std::string> log = LinesOf(logPath_);
  ReportFigure("records_written", kRecords);
  ReportFigure("lines_in_backup", static_cast<std::int64_t>(backup.size()));
  ReportFigure("lines_in_log", static_cast<std::int64_t>(log.size()));
  ReportFigure("backup_bytes", SizeOf(backupPath_));

  // The backup was rolled over at the limit, by the record that reached it.
  EXPECT_GE(SizeOf(backupPath_), 8192);
  EXPECT_LT(SizeOf(backupPath_), 8192 + 64);
  EXPECT_LT(SizeOf(logPath_), 8192);
  EXPECT_GT(backup.size(), 100u);

  // Only the two newest generations remain: together they are the newest
  // records, in the order they were written. A thread that finished early
  // may have none left.
  std::vector<std::string> both = backup;
  both.insert(both.end(), log.begin(), log.end());
  const std::vector<int> first = CheckRecords(both);
  ReportFigure("threads_in_both_files",
               static_cast<std::int64_t>(std::count_if(first.begin(), first.end(), [](int n) { return n >= 0; })));
}

}  // namespace

}  // namespace mardonel
