#include "report/wide_text.h"

#include <windows.h>
#include <shellapi.h>

#include "common/win/win_owners.h"

namespace mardonel {

std::string Utf8Of(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

std::wstring WideOf(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), size);
  wide.pop_back();
  return wide;
}

std::optional<std::string> AnsiOf(const std::string& utf8) {
  const std::wstring wide = WideOf(utf8);
  if (wide.empty()) return std::string();
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (size <= 0 || lost) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  ansi.pop_back();
  return ansi;
}

std::vector<std::string> Utf8Arguments() {
  int count = 0;
  const unique_hlocal arguments(reinterpret_cast<HLOCAL>(CommandLineToArgvW(GetCommandLineW(), &count)));
  std::vector<std::string> utf8;
  const auto* const words = static_cast<const wchar_t* const*>(arguments.get());
  for (int i = 1; i < count && words != nullptr; ++i) utf8.push_back(Utf8Of(words[i]));
  return utf8;
}

}  // namespace mardonel
