// A run of records written within one call: while a hold lasts the log file
// stays open from one record to the next instead of being opened and closed
// for each (the history maintenance logs a line for every file it writes).
#pragma once

#include "common/log/log_state.h"
#include "common/win/win_owners.h"

namespace mardonel {

class LogFileHold {
 public:
  // Takes the log lock for a moment: never made while holding it.
  LogFileHold();
  ~LogFileHold();
  LogFileHold(const LogFileHold&) = delete;
  LogFileHold& operator=(const LogFileHold&) = delete;
};

// For the file sink: the file for the next record, the one held open if
// there is one, otherwise OpenLogFile()'s.
LogFile TakeLogFile(LogState& log);

// For the file sink, after a record: the file stays open while a hold lasts;
// otherwise it is closed.
void PutBackLogFile(LogState& log, LogFile file);

}  // namespace mardonel
