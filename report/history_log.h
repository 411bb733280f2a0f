// The records of one history folder, gathered file by file and put in the
// order of their event times. Needs nothing of the platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/history/history_line.h"

namespace mardonel {

struct SkippedLine {
  std::size_t file;  // index into HistoryLog::files
  std::size_t line;  // from 1
  const char* why;
};

struct HistoryLog {
  std::vector<std::string> files;
  std::vector<HistoryRecord> records;
  std::vector<SkippedLine> skipped;
  std::size_t duplicates = 0;
};

// Reads every line of `content`, the history file `name`. Lines end at LF,
// with or without a CR before it; a last line without a line end counts too.
void AddHistoryFile(HistoryLog& log, std::string_view name, std::string_view content);

// Orders the records by event time (files are named by UTC day while event
// times are local, so neighbouring files overlap) and keeps one record of
// each event told twice: the same event time, state and reason, as an exact
// duplicate line has. Records of equal time keep their file order.
void OrderHistoryLog(HistoryLog& log);

// "file:line: why"
std::string SkippedLineText(const HistoryLog& log, const SkippedLine& skipped);

}  // namespace mardonel
