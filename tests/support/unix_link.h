// Symbolic links planted from the Unix side of Wine, where the Win32 link
// calls create nothing: what an ordinary user of the machine could leave in a
// folder that the module later clears.
#pragma once

#include <string>

namespace mardonel {

// Makes `link` (a Windows path whose folder exists) a Unix symbolic link to
// `target` (a Windows path). True once the link is listed in its folder.
bool PlantUnixLink(const std::string& target, const std::string& link);

// Removes a link that PlantUnixLink made, from the Unix side, leaving its
// target alone. True once it is gone.
bool RemoveUnixLink(const std::string& link);

}  // namespace mardonel
