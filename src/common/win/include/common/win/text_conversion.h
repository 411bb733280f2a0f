// Conversions between wide text (towards COM and the resolver) and ANSI text
// (everywhere else).
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// What becomes of a character that has no place in the code page.
enum class Unmapped { kReplaced, kRefused };

// `result` gets `text` converted through `codePage`; a null text gives an
// empty one. ERROR_SUCCESS, or the platform's error with `result` left as it
// was: ERROR_NO_UNICODE_TRANSLATION for a character that has no place in a
// code page other than UTF-8 when `unmapped` refuses it.
[[nodiscard]] DWORD WideToAnsi(const wchar_t* text, UINT codePage, std::string& result,
                               Unmapped unmapped = Unmapped::kReplaced);
[[nodiscard]] DWORD AnsiToWide(const char* text, UINT codePage, std::wstring& result);

}  // namespace mardonel
