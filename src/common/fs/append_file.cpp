#include "common/fs/append_file.h"

#include <cstdint>

namespace mardonel {

NoLinkFile OpenForAppend(const char* path) {
  return OpenFileNoLink(path, FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL);
}

DWORD CheckLastLineOpen(HANDLE file, bool& open) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size)) return GetLastError();
  open = false;
  if (size.QuadPart == 0) return ERROR_SUCCESS;
  OVERLAPPED at = {};
  const std::uint64_t offset = static_cast<std::uint64_t>(size.QuadPart) - 1;
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  char last = '\0';
  DWORD read = 0;
  if (!ReadFile(file, &last, 1, &read, &at)) return GetLastError();
  open = read != 1 || last != '\n';
  return ERROR_SUCCESS;
}

DWORD WriteAll(HANDLE file, const char* data, DWORD length, FileWriter write) {
  while (length > 0) {
    DWORD written = 0;
    // A failure without an error, or a write that takes nothing, is a fault
    // all the same: never reported as success.
    if (!write(file, data, length, &written, nullptr)) {
      const DWORD error = GetLastError();
      return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    data += written;
    length -= written;
  }
  return ERROR_SUCCESS;
}

}  // namespace mardonel
