// The module's daily history files in the States folder under the all-users
// profile: a record appended to the current UTC day's file, and the folder
// kept to its newest files with the days the machine missed filled in.
#pragma once

#include <windows.h>

#include "common/history/history_record.h"
#include "module/clock.h"

namespace mardonel {

// The folder is found afresh at every act, so a record remakes what others
// removed; no handle is held between acts. `clock` names today and must
// outlive the store.
class HistoryStore {
 public:
  explicit HistoryStore(const Clock& clock) : clock_(clock) {}

  // Appends `record` to the file of the current UTC day, making the folder
  // when missing: 0, or ERROR_INTERNAL_ERROR with the failure logged.
  [[nodiscard]] DWORD WriteStateRecord(const HistoryRecord& record) const;

  // Deletes the oldest files beyond the newest 30 of days up to today, and
  // gives each day missed since the newest file, up to 30 days, a file with
  // an "INITIALISED" record. Does nothing on a folder that cannot be listed
  // whole.
  void MaintainHistoryFolder() const;

 private:
  const Clock& clock_;
};

}  // namespace mardonel
