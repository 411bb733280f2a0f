#include "module/history_record.h"

#include <cinttypes>
#include <cstdio>
#include <utility>

#include "common/fs/append_file.h"
#include "common/log/log.h"
#include "common/log/log_format.h"
#include "common/win/error_text.h"
#include "module/history_folder_chain.h"
#include "module/mardonel.h"

namespace mardonel {

std::string HistoryRecordLine(std::uint64_t localEventTime, std::int32_t state, const char* reason) {
  const char* timeText = LocalTimeText(nullptr, 0, localEventTime);
  char head[40];
  std::snprintf(head, sizeof head, "%" PRIu64 ",%" PRId32 ",", localEventTime, state);
  std::string line = head;
  line += reason;
  line += ',';
  line += timeText;
  line += "\r\n";
  return line;
}

namespace {

void LogFailure(const char* path, DWORD error) {
  if (DebugInfoEnabled()) {
    LogPrintf("%T: Failed to create new history file: %s with detail: %s\n", path, ErrorText(error));
  } else {
    LogPrintf("%T: Failed to create new history file: %s\n", path);
  }
}

}  // namespace

DWORD AppendHistoryRecord(const HistoryPath& path, std::uint64_t localEventTime, std::int32_t state, const char* reason,
                          SuccessLine successLine, const PinnedFolders* held) {
  DWORD error = path.error;
  unique_hfile file;
  if (error == ERROR_SUCCESS) {
    NoLinkFile opened = OpenHistoryFile(path.text, held);
    file = std::move(opened.file);
    error = opened.error;
  }
  bool lastLineOpen = false;
  if (file) error = CheckLastLineOpen(file.get(), lastLineOpen);
  if (error == ERROR_SUCCESS) {
    // A line torn by an earlier failed write stays a line of its own.
    std::string line = lastLineOpen ? "\r\n" : "";
    line += HistoryRecordLine(localEventTime, state, reason);
    if (!WriteAll(file.get(), line.data(), static_cast<DWORD>(line.size()))) error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    LogFailure(path.text.c_str(), error);
    return ERROR_INTERNAL_ERROR;
  }
  if (successLine == SuccessLine::Always || DebugInfoEnabled()) {
    LogPrintf("%T: Successfully wrote managed state to disk [%s]\n", path.text.c_str());
  }
  return ERROR_SUCCESS;
}

DWORD Mardonel::WriteStateRecord(const char* reason) {
  return AppendHistoryRecord(GetHistoryFilePath(), lastRecordTime, managedState, reason, SuccessLine::WhenDebugInfo);
}

}  // namespace mardonel
