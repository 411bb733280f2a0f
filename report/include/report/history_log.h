// The records of one history folder, gathered file by file in the order
// they were written. Needs nothing of the platform.
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
  std::size_t historyFiles = 0;  // in the folder, read or not
  std::vector<std::string> files;
  // In the order of their files (by day) and lines: the module appends in
  // time order, one file a UTC day.
  std::vector<HistoryRecord> records;
  std::size_t skipped = 0;
  // Each skipped line, only when asked for: a file of bare line feeds would
  // otherwise fill the memory.
  bool listSkipped = false;
  std::vector<SkippedLine> skippedLines;
  std::size_t duplicates = 0;
};

// Reads one history file in pieces of any size, without keeping more of it
// than one record's line. Lines end at LF, with or without a CR before it; a
// last line without a line end counts too.
class HistoryFileReader {
 public:
  HistoryFileReader(HistoryLog& log, std::string_view name);
  void Add(std::string_view piece);
  // The last line, when the file does not end with a line end.
  void Finish();

 private:
  void TakeLine(std::string_view line);

  HistoryLog& log_;
  std::size_t file_;
  std::size_t lineNumber_ = 0;
  std::string partial_;  // a line begun in an earlier piece
  bool tooLong_ = false;
};

// The whole file `name` at once.
void AddHistoryFile(HistoryLog& log, std::string_view name, std::string_view content);

// Keeps the first of the records that tell of the same event: the same event
// time, state and reason, as an exact duplicate line has. The rest keep
// their order.
void DropDuplicateRecords(HistoryLog& log);

// "file:line: why"
std::string SkippedLineText(const HistoryLog& log, const SkippedLine& skipped);

}  // namespace mardonel
