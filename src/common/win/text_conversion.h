// Conversions between wide text (towards COM and the resolver) and ANSI text
// (everywhere else).
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// `result` gets `text` converted through `codePage`; a null text gives an
// empty one. ERROR_SUCCESS, or the platform's error with `result` left as it
// was.
[[nodiscard]] DWORD WideToAnsi(const wchar_t* text, UINT codePage, std::string& result);
[[nodiscard]] DWORD AnsiToWide(const char* text, UINT codePage, std::wstring& result);

}  // namespace mardonel
