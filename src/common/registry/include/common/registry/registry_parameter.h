// Typed registry reads with a machine-policy override, and writes.
#pragma once

#include <windows.h>

namespace mardonel {

inline constexpr DWORD RP_FROM_POLICY = 0x04;
inline constexpr DWORD RP_READ_ONLY = 0x80;

// Reads one value into `buffer`, which holds the default on entry. Unless
// RP_READ_ONLY, creates the key, writes the default back when the value is
// missing and repairs a value of the wrong type. A number stored as text is
// taken (and repaired) only when the whole text is one number, and a text
// stored as REG_EXPAND_SZ is read expanded; neither is ever destroyed.
// A text read always ends inside the buffer. Missing names, a missing buffer
// or one too small for a number give ERROR_INVALID_PARAMETER at once.
// The result keeps the settings' old convention: the read's status when it
// failed, else 1 when a value was found that differs from the buffer's
// content on entry (texts compared without regard to case), else 0; a
// RP_READ_ONLY read without RP_FROM_POLICY gives only the 1 or 0. A caller
// that needs the status apart uses ReadRegistryValue (registry_read.h). The
// status is also left in the thread's last error.
[[nodiscard]] DWORD GetRegParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer,
                                    DWORD size, DWORD flags);

// As GetRegParameter, but a value under Software\Policies\Quarnel\... wins,
// read-only, and the ordinary value is then neither read nor written.
[[nodiscard]] DWORD RegGetPolicyParameter(HKEY root, const char* subKey, const char* valueName, DWORD type,
                                          void* buffer, DWORD size, DWORD flags);

// Replaces the value, whatever type it had; a text is stored with its own
// length and terminator. A refused write is logged and returned; the status
// is also left in the thread's last error.
[[nodiscard]] DWORD SetRegParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data,
                                    DWORD size, DWORD flags);

}  // namespace mardonel
