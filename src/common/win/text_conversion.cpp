#include "common/win/text_conversion.h"

#include <utility>

namespace mardonel {

namespace {

DWORD ConversionError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_NO_UNICODE_TRANSLATION;
}

}  // namespace

DWORD WideToAnsi(const wchar_t* text, UINT codePage, std::string& result, Unmapped unmapped) {
  if (text == nullptr) {
    result.clear();
    return ERROR_SUCCESS;
  }
  // UTF-8 has a place for every character and takes neither the flag nor the
  // question.
  const bool refuse = unmapped == Unmapped::kRefused && codePage != CP_UTF8;
  const DWORD flags = refuse ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL lost = FALSE;
  // The sizes include the terminator, which the whole-string call converts too.
  const int size = WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, nullptr, refuse ? &lost : nullptr);
  if (size <= 0) return ConversionError();
  if (lost) return ERROR_NO_UNICODE_TRANSLATION;
  std::string converted(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, flags, text, -1, converted.data(), size, nullptr, nullptr) != size) {
    return ConversionError();
  }
  converted.resize(static_cast<std::size_t>(size - 1));
  result = std::move(converted);
  return ERROR_SUCCESS;
}

DWORD AnsiToWide(const char* text, UINT codePage, std::wstring& result) {
  if (text == nullptr) {
    result.clear();
    return ERROR_SUCCESS;
  }
  const int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (size <= 0) return ConversionError();
  std::wstring converted(static_cast<std::size_t>(size), L'\0');
  if (MultiByteToWideChar(codePage, 0, text, -1, converted.data(), size) != size) return ConversionError();
  converted.resize(static_cast<std::size_t>(size - 1));
  result = std::move(converted);
  return ERROR_SUCCESS;
}

}  // namespace mardonel
