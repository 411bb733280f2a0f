#include "report/history_folder_files.h"

#include <algorithm>

#include "common/fs/directory.h"
#include "common/history/history_files.h"
#include "common/win/error_text.h"
#include "common/win/win_owners.h"

namespace mardonel {

namespace {

constexpr DWORD kReadPiece = 1 << 20;
constexpr std::size_t kRecordsRoom = 1 << 20;

// The module may be appending meanwhile: every sharing is allowed. A file of
// any size is read a piece at a time; one cut short meanwhile is read as far
// as it goes.
bool ReadHistoryFile(const std::string& path, HistoryFileReader& reader, std::string& buffer, std::string& why) {
  const unique_hfile file =
      unique_hfile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  bool whole = static_cast<bool>(file);
  buffer.resize(kReadPiece);
  // A disk file reads short only at its end.
  for (DWORD read = kReadPiece; whole && read == kReadPiece;) {
    whole = ReadFile(file.get(), buffer.data(), kReadPiece, &read, nullptr) != FALSE;
    if (whole) reader.Add(std::string_view(buffer.data(), read));
  }
  if (!whole) why = ErrorText(GetLastError());
  reader.Finish();
  return whole;
}

bool HasStateRecord(const HistoryLog& log) {
  return std::any_of(log.records.begin(), log.records.end(),
                     [](const HistoryRecord& record) { return record.reason != RecordReason::kInitialised; });
}

}  // namespace

FileDays FileDaysOfRange(LocalDays firstDay, LocalDays lastDay, std::chrono::seconds maxGap) {
  // A bound, not a reading: no zone lies more than a day from UTC, so the
  // margins hold whatever the zone's rules.
  const std::chrono::days gapDays = std::chrono::ceil<std::chrono::days>(maxGap);
  return FileDays{UtcDays(firstDay.time_since_epoch() - std::chrono::days(2) - gapDays),
                  UtcDays(lastDay.time_since_epoch() + std::chrono::days(2))};
}

DWORD ReadHistoryFolder(const std::string& folder, HistoryLog& log, std::vector<std::string>& problems,
                        const FileDays& days, FindNextEntry next) {
  std::string base = folder;
  while (base.size() > 1 && IsPathSeparator(base.back())) base.pop_back();
  const DWORD attributes = GetFileAttributesA(base.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ERROR_DIRECTORY;
  const HistoryFolderListing listing = ListHistoryFolder(base, next);
  // Part of a folder would be reported as if it were all of it.
  if (!listing.ok() && listing.status() != ERROR_FILE_NOT_FOUND) return listing.status();
  std::vector<const HistoryFolderEntry*> files;
  for (const HistoryFolderEntry& entry : listing.value()) {
    if (entry.IsHistoryFile()) files.push_back(&entry);
  }
  log.historyFiles = files.size();
  const auto dayOf = [&](std::size_t at) { return DayOf<UtcClock>(*files[at]->date); };
  std::size_t from = 0;
  while (from < files.size() && dayOf(from) < days.first) ++from;
  std::string buffer;
  for (bool found = false; from > 0 && !found;) {
    HistoryLog earlier;
    HistoryFileReader reader(earlier, files[--from]->name);
    std::string why;
    found = ReadHistoryFile(base + "\\" + files[from]->name, reader, buffer, why) && HasStateRecord(earlier);
  }
  // Room for a year of records a minute whatever the files' sizes claim
  // (sparse files claim anything): memory is only taken as it is used.
  log.records.reserve(kRecordsRoom);
  for (; from < files.size() && dayOf(from) <= days.last; ++from) {
    const std::string path = base + "\\" + files[from]->name;
    HistoryFileReader reader(log, files[from]->name);
    std::string why;
    if (!ReadHistoryFile(path, reader, buffer, why))
      problems.emplace_back("cannot read " + path).append(": ").append(why);
  }
  return ERROR_SUCCESS;
}

}  // namespace mardonel
