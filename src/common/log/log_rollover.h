// Rolling the log file over to its single backup.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/fs/no_link_file.h"
#include "common/win/unique_any.h"

namespace mardonel {

extern std::int32_t LogRenameErrors;  // rollovers whose rename failed twice
extern bool ReportBackupErrors;       // cleared while that failure is being logged

// LogFileName with its last character replaced by "_" ("~" when it already
// is "_", so the backup never is the log itself).
void LogBackupFileName(char* backup, std::size_t size);

using FileRenamer = DWORD (*)(const char* from, const char* to);

// Closes the full log file and renames it to the backup, replacing the old
// one; a failed rename is tried once more. The caller holds the log lock.
// Tests fail the rename through `rename`.
void RollOverLogFile(unique_hfile file, FileRenamer rename = RenameFileNoLink);

}  // namespace mardonel
