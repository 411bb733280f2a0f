// The log's one state, and the one lock it is used under.
#pragma once

#include <cstdint>
#include <optional>

#include "common/log/log_settings.h"
#include "common/win/win_owners.h"
#include "log_queue.h"
#include "log_record.h"

namespace mardonel {

// The log file while it is open: for one record, or for a run of them while
// a hold lasts. `end` is where the next write goes. The handle shares
// reading only, so no one else writes meanwhile and the size taken at the
// open stays true: no record asks the file for its end.
struct LogFile {
  unique_hfile handle;
  std::int64_t end = 0;
  bool lastLineCut = false;  // the file ends inside a line: the next text starts a new one
};

struct LogState {
  LogSettings settings;
  LogStampState stamp;
  PendingLogQueue queue{kMaxPendingLogRecords, kMaxPendingLogBytes};
  std::int32_t renameErrors = 0;   // rollovers whose rename failed twice
  bool reportBackupErrors = true;  // cleared while that failure is being logged
  int fileHolds = 0;               // LogFileHold objects alive
  // Open while a hold lasts. Optional only because the owner cannot be
  // constant-initialised.
  std::optional<LogFile> heldFile;
  char defaultFileName[kLogFileNameSize] = "";  // the name an empty setting stands for, once found
  // Where this process's last whole write left the log file, -1 when not
  // known: a file found at that size needs no look at how it ends.
  std::int64_t knownEnd = -1;
};

// Holds the log lock for its lifetime and gives the log's state. Not
// reentrant: code that already holds it passes the state on instead.
class LockedLogState {
 public:
  LockedLogState();
  ~LockedLogState();
  LockedLogState(const LockedLogState&) = delete;
  LockedLogState& operator=(const LockedLogState&) = delete;

  LogState& operator*() const;
  LogState* operator->() const;
};

// Swaps the log's whole state with `other` under the lock: tests run on a
// state of their own and put the one they found back.
void ExchangeLogState(LogState& other);

}  // namespace mardonel
