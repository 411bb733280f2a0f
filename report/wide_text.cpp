#include "wide_text.h"

#include <windows.h>

#include "common/win/text_conversion.h"

namespace mardonel {

// Text that does not convert reads as none, as a name that cannot be had.
std::string Utf8Of(const wchar_t* text) {
  std::string utf8;
  static_cast<void>(WideToAnsi(text, CP_UTF8, utf8));
  return utf8;
}

std::wstring WideOf(const std::string& utf8) {
  std::wstring wide;
  static_cast<void>(AnsiToWide(utf8.c_str(), CP_UTF8, wide));
  return wide;
}

std::optional<std::string> AnsiOf(const std::string& utf8) {
  std::string ansi;
  if (WideToAnsi(WideOf(utf8).c_str(), CP_ACP, ansi, Unmapped::kRefused) != ERROR_SUCCESS) return std::nullopt;
  return ansi;
}

}  // namespace mardonel
