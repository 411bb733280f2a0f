// Where the daily history files lie: the States folder under the all-users
// profile. The module, the host and the report find it by these same rules.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/with_status.h"

namespace mardonel {

inline constexpr char kStatesSubfolder[] = "\\Application Data\\Quarnel\\ToveraAgt\\States\\";

// A usable path within MAX_PATH when the status is ERROR_SUCCESS; otherwise
// the path as far as it could be built, for diagnostics.
using HistoryPath = WithStatus<std::string>;

// The all-users profile folder; the ALLUSERSPROFILE variable names the same
// folder where the platform cannot report it. Empty when neither answers.
std::string AllUsersProfileFolder();

// The States folder with its trailing backslash.
HistoryPath HistoryFolderPath();

}  // namespace mardonel
