// Rolling the log file over to its single backup.
#pragma once

#include <cstddef>

#include "common/fs/no_link_file.h"
#include "common/win/win_owners.h"
#include "log_state.h"

namespace mardonel {

// `logPath` with its last character replaced by "_" ("~" when it already is
// "_", so the backup never is the log itself).
void LogBackupFileName(const char* logPath, char* backup, std::size_t size);

using FileRenamer = DWORD (*)(const char* from, const char* to);

// Closes the full log file and renames it to the backup, replacing the old
// one; a failed rename is tried once more and then counted in
// log.renameErrors. Tests fail the rename through `rename`.
void RollOverLogFile(LogState& log, unique_hfile file, FileRenamer rename = RenameFileNoLink);

}  // namespace mardonel
