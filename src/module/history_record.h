// One line of a history file: event time, state, reason, time text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/fs/no_link_folder.h"
#include "module/history_path.h"

namespace mardonel {

// "time,state,reason,time text" with the record's CR LF.
std::string HistoryRecordLine(std::uint64_t localEventTime, std::int32_t state, const char* reason);

enum class SuccessLine { WhenDebugInfo, Always };

// Appends one record to the file at `path`, on a line of its own: 0, or
// ERROR_INTERNAL_ERROR with the failure line logged when the file cannot be
// opened, is refused as a link, or does not take the whole record. `held`:
// the module's folders as the caller checked and holds them, if it does.
DWORD AppendHistoryRecord(const HistoryPath& path, std::uint64_t localEventTime, std::int32_t state, const char* reason,
                          SuccessLine successLine, const PinnedFolders* held = nullptr);

}  // namespace mardonel
