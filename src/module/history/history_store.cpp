#include "module/history_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/history/history_file_name.h"
#include "common/log/log.h"
#include "common/log/log_file_hold.h"
#include "common/win/file_time.h"
#include "history/append.h"
#include "history/folder_chain.h"
#include "history/listing.h"
#include "history/path.h"

namespace mardonel {

namespace {

constexpr std::uint64_t kGapLimit = 30 * kFileTimeUnitsPerDay;

// 00:00 of `date` without any zone change; 0 for a date the calendar lacks.
std::uint64_t MidnightOf(const CalendarDate& date) {
  SYSTEMTIME midnight = {};
  midnight.wYear = static_cast<WORD>(date.year);
  midnight.wMonth = static_cast<WORD>(date.month);
  midnight.wDay = static_cast<WORD>(date.day);
  FILETIME time;
  if (!SystemTimeToFileTime(&midnight, &time)) return 0;
  return FileTimeValue(time);
}

// One gap record for every day after the last file's day that ended
// more than a day ago. The unsigned difference also rejects a last-file time
// after the limit (it wraps around) and a gap of 30 days or more.
void FillMissedDays(const std::string& folder, const PinnedFolders& held, std::uint64_t lastFileTime,
                    std::uint64_t now) {
  std::uint64_t first = lastFileTime + kFileTimeUnitsPerDay;
  const std::uint64_t limit = now - kFileTimeUnitsPerDay;
  if (limit - first >= kGapLimit) return;
  for (; first < limit; first += kFileTimeUnitsPerDay) {
    // A day that fails is logged, and the next one is tried all the same.
    static_cast<void>(AppendHistoryRecord(HistoryFilePathIn(folder, DateOf(first)),
                                          HistoryRecord{first, kUnmanaged, RecordReason::kInitialised},
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
  const PinnedFolders held = PinHistoryFolders(folder.value);
  // Every gap file has its log line: one open of the log serves them all.
  const LogFileHold logHeld;
  const std::uint64_t now = clock_.UtcNow();
  const std::size_t toCome = TrimHistoryFiles(folder.value, names, kKeptHistoryFiles, DateOf(now), held);
  if (toCome != 0 && DebugInfoEnabled()) {
    LogPrintf("%T: Files of days after today (UTC) left out of trimming: %lu\n", static_cast<unsigned long>(toCome));
  }

  const std::optional<CalendarDate> lastFileDate = HistoryFileDate(names.back());
  // Today is the local day here, while the files are named by UTC days.
  if (!lastFileDate || *lastFileDate == DateOf(clock_.ToLocal(now).value_or(now))) return;
  const std::uint64_t lastFileTime = MidnightOf(*lastFileDate);
  if (DebugInfoEnabled()) LogPrintf("%T: Last file written on: %s\n", LocalTimeText(nullptr, 0, lastFileTime));
  FillMissedDays(folder.value, held, lastFileTime, now);
}

}  // namespace mardonel
