#include "connection/text_conversion.h"

#include "connection/wrapper_error.h"

namespace mardonel {

namespace {

[[noreturn]] void ThrowLastError() {
  const DWORD error = GetLastError();
  throw CWrapperError(HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_NO_UNICODE_TRANSLATION));
}

}  // namespace

std::string WideToAnsi(const wchar_t* text, UINT codePage) {
  if (text == nullptr) return std::string();
  // The sizes include the terminator, which the whole-string call converts too.
  const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) ThrowLastError();
  std::string result(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, 0, text, -1, result.data(), size, nullptr, nullptr) != size) ThrowLastError();
  result.resize(static_cast<std::size_t>(size - 1));
  return result;
}

std::wstring AnsiToWide(const char* text, UINT codePage) {
  if (text == nullptr) return std::wstring();
  const int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (size <= 0) ThrowLastError();
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  if (MultiByteToWideChar(codePage, 0, text, -1, result.data(), size) != size) ThrowLastError();
  result.resize(static_cast<std::size_t>(size - 1));
  return result;
}

}  // namespace mardonel
