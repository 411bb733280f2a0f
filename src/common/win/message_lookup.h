// Looking up the text of one code in one message table.
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// `source` is FORMAT_MESSAGE_FROM_SYSTEM or FORMAT_MESSAGE_FROM_HMODULE with
// `module`. Insert sequences such as %1 are left as they stand. The text
// comes back without its closing line breaks.
[[nodiscard]] bool TryFormatMessage(DWORD source, HMODULE module, DWORD code, std::string& text);

// As TryFormatMessage, and an HRESULT made from a Win32 code that has no text
// of its own gets the text of that Win32 code.
[[nodiscard]] bool TryMessageLookup(DWORD source, HMODULE module, DWORD code, std::string& text);

inline DWORD ErrorFacility(DWORD code) { return (code >> 16) & 0x1FFF; }
inline DWORD ErrorCodeWord(DWORD code) { return code & 0xFFFF; }

}  // namespace mardonel
