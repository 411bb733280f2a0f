// What a module wrote into a history folder, whatever the days: a run on the
// machine's clock may cross midnight UTC and spread its records over two
// files.
#pragma once

#include <string>
#include <vector>

namespace mardonel {

// Every history file in `statesFolder` (with its trailing backslash), oldest
// day first, one after another.
std::string AllHistoryText(const std::string& statesFolder);

// The lines of every such file, oldest day first, without their CR LF.
std::vector<std::string> AllHistoryLines(const std::string& statesFolder);

}  // namespace mardonel
