#include "run_report.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <utility>
#include <vector>

#include "agent_files.h"
#include "common/history/history_files.h"
#include "common/history/history_folder.h"

namespace mardonel {

namespace {

// Every plain file the history folder's listing shows, history file or not.
std::map<std::string, std::uint64_t> HistoryFileSizes(const std::string& folder) {
  std::map<std::string, std::uint64_t> sizes;
  const HistoryFolderListing listing = ListHistoryFolder(folder);
  // A listing cut short still gives the files it found.
  static_cast<void>(listing.status());
  for (const HistoryFolderEntry& entry : listing.value()) {
    if (entry.plainFile) sizes[entry.name] = entry.size;
  }
  return sizes;
}

// The history folder, with its trailing backslash; empty when the all-users
// profile folder is unknown.
std::string HistoryFolder() {
  HistoryPath folder = HistoryFolderPath();
  return folder.ok() ? std::move(folder.value()) : std::string();
}

bool FileSize(const std::string& path, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// The file's lines from byte `from` on, without their line ends.
std::vector<std::string> LinesFrom(const std::string& path, std::uint64_t from) {
  std::ifstream file(path, std::ios::binary);
  file.seekg(static_cast<std::streamoff>(from));
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void PrintFile(const std::string& path, const std::string& note) {
  std::printf("  %s%s\n", path.c_str(), note.c_str());
  const std::string unixPath = UnixPathOf(path);
  if (!unixPath.empty()) std::printf("    on Linux: %s\n", unixPath.c_str());
}

// A file that shrank was replaced during the run: all of it is new.
void PrintNewLines(const std::string& path, std::uint64_t before, std::uint64_t after) {
  const std::vector<std::string> lines = LinesFrom(path, after < before ? 0 : before);
  std::printf("    %zu line%s written in this run:\n", lines.size(), lines.size() == 1 ? "" : "s");
  for (const std::string& line : lines) std::printf("    | %s\n", line.c_str());
}

}  // namespace

RunReport::RunReport() : historyFolder_(HistoryFolder()), logFile_(LogFilePath()) {
  if (!historyFolder_.empty()) historySizes_ = HistoryFileSizes(historyFolder_);
  if (!logFile_.empty()) logExisted_ = FileSize(logFile_, logSize_);
}

void RunReport::Print() const {
  std::printf("\nHistory files touched by this run");
  if (historyFolder_.empty()) {
    std::printf(": the all-users profile folder is unknown\n");
  } else {
    std::printf(" (folder %s):\n", historyFolder_.c_str());
    bool any = false;
    for (const auto& [name, size] : HistoryFileSizes(historyFolder_)) {
      const auto before = historySizes_.find(name);
      const bool isNew = before == historySizes_.end();
      if (!isNew && before->second == size) continue;
      any = true;
      PrintFile(historyFolder_ + name, isNew ? " (new)" : "");
      PrintNewLines(historyFolder_ + name, isNew ? 0 : before->second, size);
    }
    for (const auto& [name, size] : historySizes_) {
      if (GetFileAttributesA((historyFolder_ + name).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
      any = true;
      PrintFile(historyFolder_ + name, " (removed)");
    }
    if (!any) std::printf("  none\n");
  }

  std::printf("\nLog file");
  std::uint64_t size = 0;
  if (logFile_.empty()) {
    std::printf(": none, the log goes to the console only\n");
  } else if (!FileSize(logFile_, size) || (logExisted_ && size == logSize_)) {
    std::printf(" %s: not written in this run\n", logFile_.c_str());
  } else {
    std::printf(":\n");
    PrintFile(logFile_, logExisted_ && size < logSize_ ? " (rolled over during the run)" : "");
    PrintNewLines(logFile_, logExisted_ ? logSize_ : 0, size);
  }
  std::fflush(stdout);
}

}  // namespace mardonel
