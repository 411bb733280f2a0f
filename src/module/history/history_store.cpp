#include "module/history_store.h"

#include <optional>
#include <string>
#include <vector>

#include "common/history/history_file_name.h"
#include "common/log/log.h"
#include "common/log/log_file_hold.h"
#include "common/time/calendar.h"
#include "common/win/file_time.h"
#include "history/append.h"
#include "history/folder_chain.h"
#include "history/listing.h"
#include "history/path.h"

namespace mardonel {

namespace {

constexpr std::chrono::days kOneDay(1);
constexpr std::chrono::days kGapLimit(30);

// 00:00 of the file's UTC day; the clock's epoch for a day a FILETIME cannot
// hold.
UtcInstant MidnightOf(const CalendarDate& date) {
  return date.year < 1601 ? UtcInstant() : UtcInstant(DayOf<UtcClock>(date));
}

// A gap record carries its day's 00:00 as the local clock's reading: the
// file's date at midnight without a zone change, as the module writes it.
LocalReading WrittenMidnight(UtcInstant midnight) { return LocalReading(midnight.time_since_epoch()); }

// One gap record for every day after the last file's day that ended
// more than a day ago. The unsigned difference also rejects a last-file time
// after the limit (it wraps around) and a gap of 30 days or more.
void FillMissedDays(const std::string& folder, const PinnedFolders& held, UtcInstant lastFileTime, UtcInstant now) {
  UtcInstant first = lastFileTime + kOneDay;
  const UtcInstant limit = now - kOneDay;
  if (limit - first >= kGapLimit) return;
  for (; first < limit; first += kOneDay) {
    // A day that fails is logged, and the next one is tried all the same.
    static_cast<void>(AppendHistoryRecord(HistoryFilePathIn(folder, std::chrono::floor<std::chrono::days>(first)),
                                          HistoryRecord{WrittenMidnight(first), kUnmanaged, RecordReason::kInitialised},
                                          SuccessLine::kAlways, &held));
  }
}

}  // namespace

DWORD HistoryStore::WriteStateRecord(const HistoryRecord& record) const {
  return AppendHistoryRecord(GetHistoryFilePath(clock_.UtcNow()), record, SuccessLine::kWhenDebugInfo);
}

void HistoryStore::MaintainHistoryFolder() const {
  const HistoryPath folder = HistoryFolderPath();
  std::vector<std::string> names = ListHistoryFiles(folder);
  if (names.empty()) return;
  // Checked once and held for the whole run, not once per file: held, the
  // folders cannot be swapped for links meanwhile, and they exist, as the
  // files were just listed there.
  const PinnedFolders held = PinHistoryFolders(folder.value());
  // Every gap file has its log line: one open of the log serves them all.
  const LogFileHold logHeld;
  const UtcInstant now = clock_.UtcNow();
  const std::size_t toCome =
      TrimHistoryFiles(folder.value(), names, kKeptHistoryFiles, std::chrono::floor<std::chrono::days>(now), held);
  if (toCome != 0 && DebugInfoEnabled()) {
    LogPrintf("%T: Files of days after today (UTC) left out of trimming: %lu\n", static_cast<unsigned long>(toCome));
  }

  const std::optional<CalendarDate> lastFileDate = HistoryFileDate(names.back());
  // Today is the local day here, while the files are named by UTC days.
  if (!lastFileDate || *lastFileDate == DateOf(clock_.LocalOf(now))) return;
  const UtcInstant lastFileTime = MidnightOf(*lastFileDate);
  if (DebugInfoEnabled()) {
    LogPrintf("%T: Last file written on: %s\n", LocalTimeText(nullptr, 0, WrittenMidnight(lastFileTime)));
  }
  FillMissedDays(folder.value(), held, lastFileTime, now);
}

}  // namespace mardonel
