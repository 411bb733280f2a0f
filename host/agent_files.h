// Where the module writes, found the way the module finds it, so the host
// can show what a run left behind.
#pragma once

#include <string>

namespace mardonel {

// The log file the module writes by the LogFileName setting (machine policy
// first, expanded, a name the module refuses giving the default). Empty when
// records go to the console only ("-").
std::string LogFilePath();

// Where a Windows path lies on the Linux side under Wine; empty elsewhere.
std::string UnixPathOf(const std::string& windowsPath);

}  // namespace mardonel
