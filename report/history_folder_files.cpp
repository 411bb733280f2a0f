#include "report/history_folder_files.h"

#include "common/history/history_files.h"
#include "common/win/error_text.h"
#include "common/win/unique_any.h"

namespace mardonel {

namespace {

// A year of records every minute makes a file of about 80 KB; nothing the
// module writes comes near this.
constexpr std::uint64_t kLargestHistoryFile = 64 * 1024 * 1024;

std::vector<std::string> HistoryFileNames(const std::string& folder, std::uint64_t& bytes, DWORD& error) {
  const HistoryFolderListing listing = ListHistoryFolder(folder);
  error = listing.error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : listing.error;
  std::vector<std::string> names;
  for (const HistoryFolderEntry& entry : listing.entries) {
    if (!entry.IsHistoryFile()) continue;
    names.push_back(entry.name);
    if (entry.size <= kLargestHistoryFile) bytes += entry.size;
  }
  return names;
}

// The module may be appending meanwhile: every sharing is allowed.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& why) {
  const unique_hfile file =
      unique_hfile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) {
    why = ErrorText(GetLastError());
    return false;
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > kLargestHistoryFile) {
    why = "larger than any history file (" + std::to_string(size.QuadPart) + " bytes)";
    return false;
  }
  content.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t got = 0;
  DWORD read = 0;
  BOOL reading = TRUE;
  while (got < content.size() &&
         (reading =
              ReadFile(file.get(), content.data() + got, static_cast<DWORD>(content.size() - got), &read, nullptr)) &&
         read > 0) {
    got += read;
  }
  if (!reading) {
    why = ErrorText(GetLastError());
    return false;
  }
  // A file cut short meanwhile is read as far as it goes.
  content.resize(got);
  return true;
}

}  // namespace

DWORD ReadHistoryFolder(const std::string& folder, HistoryLog& log, std::vector<std::string>& problems) {
  std::string base = folder;
  while (base.size() > 1 && (base.back() == '\\' || base.back() == '/')) base.pop_back();
  DWORD error = ERROR_SUCCESS;
  std::uint64_t bytes = 0;
  const std::vector<std::string> names = HistoryFileNames(base, bytes, error);
  if (error != ERROR_SUCCESS && names.empty()) return error;
  // Room for every record at once: the shortest the module writes is longer.
  constexpr std::uint64_t kShortestRecord = 40;
  log.records.reserve(static_cast<std::size_t>(bytes / kShortestRecord));
  std::string content;
  for (const std::string& name : names) {
    const std::string path = base + "\\" + name;
    std::string why;
    if (ReadWholeFile(path, content, why)) {
      AddHistoryFile(log, name, content);
    } else {
      problems.push_back("cannot read " + path + ": " + why);
    }
  }
  return ERROR_SUCCESS;
}

}  // namespace mardonel
