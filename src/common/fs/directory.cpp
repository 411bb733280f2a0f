#include "common/fs/directory.h"

#include <windows.h>

#include <cstring>

#include "common/win/win_owners.h"

namespace mardonel {

namespace {

// Present already counts as made, whatever stands there.
[[nodiscard]] DWORD CreateFolder(const char* path) {
  if (CreateDirectoryA(path, nullptr)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : error;
}

// The last backslash or slash that is a separator, not the trail byte of a
// double-byte character.
[[nodiscard]] char* FindLastSeparator(char* text) {
  char* found = nullptr;
  for (char* cursor = text; *cursor != '\0'; cursor = CharNextA(cursor)) {
    if (IsPathSeparator(*cursor)) found = cursor;
  }
  return found;
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// Removes a link to a folder (symbolic link or junction) itself. It is opened
// as the link, not its target, and deleted through that handle only when the
// handle really is the link: a platform that would open the target instead
// leaves both in place rather than emptying the target.
void RemoveLink(const char* path) {
  unique_hfile link = unique_hfile(
      CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!link) return;
  FILE_ATTRIBUTE_TAG_INFO opened = {};
  if (!GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &opened, sizeof opened) ||
      (opened.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return;
  }
  FILE_DISPOSITION_INFO disposition = {};
  disposition.DeleteFile = TRUE;
  SetFileInformationByHandle(link.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

DWORD CreateDirectoryPath(char* path) {
  const DWORD first = CreateFolder(path);
  if (first == ERROR_SUCCESS) return ERROR_SUCCESS;

  char* separator = FindLastSeparator(path);
  if (separator == nullptr) return first;
  const char cut = *separator;
  *separator = '\0';
  // Whatever becomes of the parent, the second try tells.
  static_cast<void>(CreateDirectoryPath(path));
  *separator = cut;
  return CreateFolder(path);
}

DWORD CreateFolderOf(const char* path) {
  char folder[MAX_PATH];
  if (std::strlen(path) >= sizeof folder) return ERROR_FILENAME_EXCED_RANGE;
  std::strcpy(folder, path);
  char* separator = FindLastSeparator(folder);
  if (separator == nullptr) return ERROR_SUCCESS;
  *separator = '\0';
  return CreateDirectoryPath(folder);
}

bool IsFullPath(const char* path) {
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':';
  if (drive) return IsPathSeparator(path[2]);
  return IsPathSeparator(path[0]) && IsPathSeparator(path[1]) && path[2] != '\0';
}

void RemoveDirectoryTree(const char* folder) {
  const DWORD folderAttributes = GetFileAttributesA(folder);
  if (folderAttributes != INVALID_FILE_ATTRIBUTES && (folderAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    RemoveLink(folder);
    return;
  }

  bool going = true;
  char pattern[MAX_PATH] = {};
  if (JoinPathName(pattern, sizeof pattern, folder, "*.*") != nullptr) {
    WIN32_FIND_DATAA entry;
    unique_hfind search = unique_hfind(FindFirstFileA(pattern, &entry));
    if (search) {
      do {
        char path[MAX_PATH] = {};
        const bool joined = JoinPathName(path, sizeof path, folder, entry.cFileName) != nullptr;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (IsDotEntry(entry.cFileName) || !joined) continue;
          if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveLink(path);
          } else {
            RemoveDirectoryTree(path);
          }
        } else {
          going = joined && DeleteFileA(path);
        }
      } while (going && FindNextFileA(search.get(), &entry));
    }
  }
  if (going) RemoveDirectoryA(folder);
}

char* JoinPathName(char* destination, std::uint16_t size, const char* folder, const char* name) {
  const std::size_t folderLength = std::strlen(folder);
  const bool needsSeparator = folderLength == 0 || folder[folderLength - 1] != '\\' ||
                              CharPrevA(folder, folder + folderLength) != folder + folderLength - 1;
  if (folderLength + std::strlen(name) + 1 > size) return nullptr;
  // ".\" is dropped from the name; '.' is never a lead byte, so the
  // backslash after it is a real one.
  if (name[0] == '.' && name[1] == '\\') name += 2;
  const std::size_t total = folderLength + (needsSeparator ? 1 : 0) + std::strlen(name) + 1;
  if (total > size) return nullptr;

  if (destination != folder) std::memcpy(destination, folder, folderLength + 1);
  char* end = destination + folderLength;
  if (needsSeparator) *end++ = '\\';
  std::memcpy(end, name, std::strlen(name) + 1);
  return destination;
}

}  // namespace mardonel
