// Names that open something other than a plain file. Needs nothing of the
// platform, so it also builds natively for fuzzing.
#pragma once

#include <string_view>

namespace mardonel {

// True when `path` opens a device or a part of a file rather than a file of
// its own, as Windows reads it, in any case and whichever separator:
// - a name in the device namespace: "\\.\" anything, "\\?\" anything but a
//   drive's path ("\\?\C:\...") or a share's ("\\?\UNC\server\share\..."),
//   and a share's named pipes and mailslots ("\\server\pipe\...");
// - an alternate data stream: a colon after the drive part;
// - a last part that is a device's name (CON, PRN, AUX, NUL, COM0-COM9,
//   LPT0-LPT9, CONIN$, CONOUT$): with any extension, and with the spaces
//   before the extension dropped.
[[nodiscard]] bool NamesNoPlainFile(std::string_view path);

}  // namespace mardonel
