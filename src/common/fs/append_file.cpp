#include "common/fs/append_file.h"

NoLinkFile OpenForAppend(const char* path) {
  return OpenFileNoLink(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

bool WriteAll(HANDLE file, const char* data, DWORD length) {
  while (length > 0) {
    DWORD written = 0;
    if (!WriteFile(file, data, length, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    data += written;
    length -= written;
  }
  return true;
}
