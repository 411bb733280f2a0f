#include "history/append.h"

#include <utility>

#include "common/fs/append_file.h"
#include "common/history/history_line.h"
#include "common/log/log.h"
#include "common/win/error_text.h"
#include "common/win/file_time.h"
#include "history/folder_chain.h"

namespace mardonel {

namespace {

void LogFailure(const char* path, DWORD error) {
  if (DebugInfoEnabled()) {
    LogPrintf("%T: Failed to create new history file: %s with detail: %s\n", path, ErrorText(error));
  } else {
    LogPrintf("%T: Failed to create new history file: %s\n", path);
  }
}

}  // namespace

DWORD AppendHistoryRecord(const HistoryPath& path, const HistoryRecord& record, SuccessLine successLine,
                          const PinnedFolders* held) {
  DWORD error = path.status();
  unique_hfile file;
  if (error == ERROR_SUCCESS) {
    NoLinkFile opened = OpenHistoryFile(path.value(), held);
    error = opened.status();
    file = std::move(opened.value().handle);
  }
  bool lastLineOpen = false;
  if (file) error = CheckLastLineOpen(file.get(), lastLineOpen);
  if (error == ERROR_SUCCESS) {
    // A line torn by an earlier failed write stays a line of its own.
    std::string line = lastLineOpen ? "\r\n" : "";
    line += HistoryRecordLine(record, LocalTimeText(nullptr, 0, record.eventTime));
    error = WriteAll(file.get(), line.data(), static_cast<DWORD>(line.size()));
  }
  if (error != ERROR_SUCCESS) {
    LogFailure(path.value().c_str(), error);
    return ERROR_INTERNAL_ERROR;
  }
  if (successLine == SuccessLine::kAlways || DebugInfoEnabled()) {
    LogPrintf("%T: Successfully wrote managed state to disk [%s]\n", path.value().c_str());
  }
  return ERROR_SUCCESS;
}

}  // namespace mardonel
