// Where the daily history files lie: the States folder under the all-users
// profile, one file per day.
#pragma once

#include <windows.h>

#include <string>

#include "module/history_file_name.h"

inline constexpr char kStatesSubfolder[] = "\\Application Data\\Quarnel\\ToveraAgt\\States\\";

struct HistoryPath {
  std::string text;  // as far as it could be built, for diagnostics
  DWORD error;       // 0 when `text` is a usable path within MAX_PATH
};

// The all-users profile folder; the ALLUSERSPROFILE variable names the same
// folder where the platform cannot report it. Empty when neither answers.
std::string AllUsersProfileFolder();

// The States folder with its trailing backslash.
HistoryPath HistoryFolderPath();

// The history file of `date` in `folder` (ending with a backslash); makes
// nothing.
HistoryPath HistoryFilePathIn(const std::string& folder, const CalendarDate& date);

// The history file of `date`; makes sure the States folder exists.
HistoryPath HistoryFilePathFor(const CalendarDate& date);

// The history file of the current UTC day; makes sure the folder exists.
HistoryPath GetHistoryFilePath();
