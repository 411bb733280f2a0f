// The paths of the daily history files, one file per UTC day.
#pragma once

#include <windows.h>

#include <string>

#include "common/history/history_file_name.h"
#include "common/history/history_folder.h"
#include "common/time/time_points.h"

namespace mardonel {

// The history file of the UTC day `day` in `folder` (ending with a
// backslash); makes nothing.
HistoryPath HistoryFilePathIn(const std::string& folder, UtcDays day);

// The history file of the UTC day of `now`; makes sure the folder exists.
HistoryPath GetHistoryFilePath(UtcInstant now);

}  // namespace mardonel
