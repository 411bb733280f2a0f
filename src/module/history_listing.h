// The entries of the States folder that look like history files, and the
// trimming that keeps the newest of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "module/history_path.h"

inline constexpr std::size_t kKeptHistoryFiles = 30;

// Names of every entry of `folder` matching "*.mgt", folders included, in
// byte-wise order (history file names thus oldest first). Empty when the
// search cannot start; that is logged unless the folder merely has no match.
std::vector<std::string> ListHistoryFiles(const HistoryPath& folder);

// Deletes the files of the smallest names until at most `keep` names remain.
// A file that cannot be deleted stays on disk but leaves the list all the same.
void TrimHistoryFiles(const std::string& folder, std::vector<std::string>& names, std::size_t keep);
