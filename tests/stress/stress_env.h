// What the load and fault tests share: the log pointed at a test file, a
// check that answers at once, history lines counted over every day's file,
// and the figures a run prints.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "connection/connection.h"
#include "support/test_env.h"

// The log's settings for the life of the object: records go to `path`.
// Whatever other tests left queued is written to a scratch file first, so
// that the test's log holds its own records only.
class ScopedLogSettings {
 public:
  ScopedLogSettings(const std::string& path, std::int32_t maxSize, std::uint32_t debug);
  ~ScopedLogSettings();
  ScopedLogSettings(const ScopedLogSettings&) = delete;
  ScopedLogSettings& operator=(const ScopedLogSettings&) = delete;

 private:
  std::string name_;
  std::int32_t maxSize_;
  std::uint32_t debug_;
};

// The exported log entry points with their arguments in line.
int LogNow(const char* format, ...);
int LogLater(const char* format, ...);

// A management point check that answers at once and counts its calls.
class CountingConnection : public IConnection {
 public:
  CountingConnection(long& checks, bool reachable) : checks_(checks), reachable_(reachable) {}
  bool IsAvailable() override { return reachable_; }
  bool TestConnectivity() override {
    ++checks_;
    return reachable_;
  }

 private:
  long& checks_;
  bool reachable_;
};

// The lines of every history file in `statesFolder` (with its trailing
// backslash), oldest day first: a run that crosses midnight UTC spreads its
// records over two files.
std::vector<std::string> AllHistoryLines(const std::string& statesFolder);

// How many lines of `lines` end with `text`.
int CountEndingWith(const std::vector<std::string>& lines, const std::string& text);

// The process's commit charge. Wine reports no PrivateUsage; PagefileUsage
// is the same figure on Windows and is kept by Wine.
std::uint64_t CommittedBytes();

// Shows a figure of the run in the output and in the test's report.
void ReportFigure(const char* name, std::int64_t value);

// A 32-bit subnet from its dotted text, first octet lowest.
std::uint32_t SubnetOf(const char* dotted);
