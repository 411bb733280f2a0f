#include "registry_read.h"

#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "common/log/log.h"
#include "common/log/log_escape.h"
#include "common/registry/registry_parameter.h"
#include "common/win/error_text.h"
#include "number_text.h"
#include "registry_key.h"

namespace mardonel {

namespace {

// A text read need not end with a terminator; this one always ends inside
// its `size` bytes, after at most the `length` bytes that were read.
void TerminateInside(char* text, DWORD length, DWORD size) {
  const DWORD read = length < size ? length : size;
  if (std::memchr(text, '\0', read) == nullptr) text[read < size ? read : size - 1] = '\0';
}

// A text is stored with its terminator, anything else with the whole buffer.
[[nodiscard]] DWORD WriteBuffer(HKEY key, const char* valueName, DWORD type, const void* buffer, DWORD size) {
  DWORD bytes = size;
  if (IsRegistryText(type)) {
    const std::size_t length = strnlen(static_cast<const char*>(buffer), size);
    bytes = static_cast<DWORD>(length < size ? length + 1 : size);
  }
  return static_cast<DWORD>(RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(buffer), bytes));
}

void ClearBuffer(DWORD type, void* buffer, DWORD size) {
  if (IsRegistryText(type)) {
    static_cast<char*>(buffer)[0] = '\0';
  } else {
    std::memset(buffer, 0, size);
  }
}

[[nodiscard]] DWORD ReadSameType(HKEY key, const char* valueName, DWORD type, void* buffer, DWORD size) {
  DWORD length = size;
  const auto status =
      static_cast<DWORD>(RegQueryValueExA(key, valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), &length));
  if (IsRegistryText(type)) TerminateInside(static_cast<char*>(buffer), status == ERROR_SUCCESS ? length : size, size);
  return status;
}

// The stored text whole, read into a buffer of its own size and terminated.
[[nodiscard]] DWORD ReadWholeText(HKEY key, const char* valueName, DWORD storedSize, std::unique_ptr<char[]>& text) {
  text.reset(new (std::nothrow) char[static_cast<std::size_t>(storedSize) + 1]);
  if (!text) return ERROR_NOT_ENOUGH_MEMORY;
  DWORD length = storedSize;
  const auto status = static_cast<DWORD>(
      RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(text.get()), &length));
  TerminateInside(text.get(), status == ERROR_SUCCESS ? length : 0, storedSize + 1);
  return status;
}

// A number stored as text: the buffer gets its value, and a writable read
// stores it again as a number. A text that is no number is the
// administrator's to mend: it stays, and so does the buffer.
[[nodiscard]] DWORD ReadTextAsNumber(HKEY key, const char* valueName, DWORD storedSize, void* buffer, bool writable) {
  std::unique_ptr<char[]> text;
  const DWORD status = ReadWholeText(key, valueName, storedSize, text);
  if (status != ERROR_SUCCESS) return status;
  const std::optional<std::uint32_t> number = ParseNumberText(text.get());
  if (!number) {
    LogPrintf("%T: GetRegParameter %s - \"%s\" is not a number; left as stored\n", valueName,
              EscapedForLog(text.get()).c_str());
    return ERROR_INVALID_DATA;
  }
  const DWORD value = *number;
  std::memcpy(buffer, &value, sizeof value);
  // The write replaces type and data at once; a refused one leaves the text.
  if (writable) static_cast<void>(WriteBuffer(key, valueName, REG_DWORD, &value, sizeof value));
  return status;
}

// A text with environment variables, as policy tools often store a path:
// used expanded, never rewritten.
[[nodiscard]] DWORD ReadExpandedText(HKEY key, const char* valueName, DWORD storedSize, void* buffer, DWORD size) {
  std::unique_ptr<char[]> text;
  const DWORD status = ReadWholeText(key, valueName, storedSize, text);
  if (status != ERROR_SUCCESS) return status;
  std::unique_ptr<char[]> expanded(new (std::nothrow) char[size]);
  if (!expanded) return ERROR_NOT_ENOUGH_MEMORY;
  const DWORD length = ExpandEnvironmentStringsA(text.get(), expanded.get(), size);
  if (length == 0) return GetLastError();
  if (length > size) return ERROR_MORE_DATA;
  std::memcpy(buffer, expanded.get(), length);
  return status;
}

RegistryRead ReadValue(HKEY key, const char* valueName, DWORD type, void* buffer, DWORD size, bool writable) {
  DWORD storedType = REG_NONE;
  DWORD storedSize = 0;
  const LSTATUS query = RegQueryValueExA(key, valueName, nullptr, &storedType, nullptr, &storedSize);
  if (query != ERROR_SUCCESS) {
    if (!writable) {
      ClearBuffer(type, buffer, size);
      return {false, static_cast<DWORD>(query)};
    }
    const DWORD written = WriteBuffer(key, valueName, type, buffer, size);
    if (written != ERROR_SUCCESS) LogPrintf("GetRegParameter_3 %s - %s\n", ErrorText(written), valueName);
    return {false, written};
  }
  if (storedType == REG_SZ && type == REG_DWORD)
    return {true, ReadTextAsNumber(key, valueName, storedSize, buffer, writable)};
  if (storedType == REG_EXPAND_SZ && type == REG_SZ)
    return {true, ReadExpandedText(key, valueName, storedSize, buffer, size)};
  if (storedSize > size) return {true, ERROR_MORE_DATA};
  // Fewer bytes than a number would replace only the low bytes of the default.
  if (type == REG_DWORD && storedType == REG_DWORD && storedSize < sizeof(DWORD)) {
    LogPrintf("%T: GetRegParameter %s - REG_DWORD of %lu byte%s is not a number; left as stored\n", valueName,
              static_cast<unsigned long>(storedSize), storedSize == 1 ? "" : "s");
    return {true, ERROR_INVALID_DATA};
  }
  if (storedType == type) return {true, ReadSameType(key, valueName, type, buffer, size)};
  // A value of a foreign type is replaced by the default, type and data in
  // one write; the buffer stands, and so does the read's success whatever the
  // write gives.
  if (writable) static_cast<void>(WriteBuffer(key, valueName, type, buffer, size));
  return {true, ERROR_SUCCESS};
}

RegistryKey OpenForRead(HKEY root, const char* subKey, bool writable) {
  if (!writable) return OpenRegistryKey(root, subKey, KEY_READ);
  RegistryKey opened = OpenRegistryKey(root, subKey, kRegistryReadWrite);
  if (!opened.ok()) opened = OpenRegistryKey(root, subKey, KEY_READ);
  if (!opened.ok()) opened = CreateRegistryKey(root, subKey);
  return opened;
}

}  // namespace

RegistryRead ReadRegistryValue(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer,
                               DWORD size, DWORD flags) {
  const bool writable = (flags & RP_READ_ONLY) == 0;
  const RegistryKey opened = OpenForRead(root, subKey, writable);
  if (!opened.ok()) {
    if (writable) LogPrintf("GetRegParameter_4 %s - %s\\%s\n", ErrorText(opened.status()), subKey, valueName);
    return {false, opened.status()};
  }
  return ReadValue(opened.value().get(), valueName, type, buffer, size, writable);
}

}  // namespace mardonel
