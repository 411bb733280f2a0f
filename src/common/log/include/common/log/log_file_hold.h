// A run of records written within one call: while a hold lasts the log file
// stays open from one record to the next instead of being opened and closed
// for each (the history maintenance logs a line for every file it writes).
#pragma once

namespace mardonel {

class LogFileHold {
 public:
  // Takes the log lock for a moment: never made while holding it.
  LogFileHold();
  ~LogFileHold();
  LogFileHold(const LogFileHold&) = delete;
  LogFileHold& operator=(const LogFileHold&) = delete;
};

}  // namespace mardonel
