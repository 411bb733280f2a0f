// Texts of Win32 error codes and HRESULTs for diagnostics.
#pragma once

#include <windows.h>

#include <string>

// The system text of a Win32 code (0: the thread's last error), on one line,
// in a buffer of the calling thread's own, valid until that thread's next
// call.
const char* ErrorText(DWORD code);

// The text of a Win32 code or HRESULT from the system or any loaded module;
// keeps the thread's last-error value.
std::string ErrorMessage(DWORD code);
