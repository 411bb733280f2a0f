// Conversions between wide text (towards COM) and ANSI text (everywhere else).
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// A null text gives an empty result; a failed conversion throws CWrapperError.
std::string WideToAnsi(const wchar_t* text, UINT codePage);
std::wstring AnsiToWide(const char* text, UINT codePage);

}  // namespace mardonel
