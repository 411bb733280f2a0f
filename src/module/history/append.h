// Appending one record to a history file.
#pragma once

#include <windows.h>

#include "common/fs/no_link_folder.h"
#include "common/history/history_record.h"
#include "history/path.h"

namespace mardonel {

enum class SuccessLine { kWhenDebugInfo, kAlways };

// Appends one record to the file at `path`, on a line of its own: 0, or
// ERROR_INTERNAL_ERROR with the failure line logged when the file cannot be
// opened, is refused as a link, or does not take the whole record. `held`:
// the module's folders as the caller checked and holds them, if it does.
[[nodiscard]] DWORD AppendHistoryRecord(const HistoryPath& path, const HistoryRecord& record, SuccessLine successLine,
                                        const PinnedFolders* held = nullptr);

}  // namespace mardonel
