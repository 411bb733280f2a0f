// Names that open a device in every folder. Needs nothing of the platform,
// so it also builds natively for fuzzing.
#pragma once

#include <string_view>

namespace mardonel {

// True when the last component of `path` is a device's name (CON, PRN, AUX,
// NUL, COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$) in any case, as Windows reads
// it: with any extension, and with the spaces before the extension dropped.
[[nodiscard]] bool NamesDevice(std::string_view path);

}  // namespace mardonel
