// Texts of error codes for diagnostics. ErrorText is the light one, for the
// log itself and the registry reads and writes; ErrorMessage the thorough
// one, for everything else, the host's own lines included. WMI's codes get
// their text from WMI (GetWmiErrorText).
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// The system text of a Win32 code (0: the thread's last error), on one line,
// in a buffer of the calling thread's own, valid until that thread's next
// call.
const char* ErrorText(DWORD code);

// The text of a Win32 code or HRESULT from the system or any loaded module;
// keeps the thread's last-error value.
std::string ErrorMessage(DWORD code);

}  // namespace mardonel
