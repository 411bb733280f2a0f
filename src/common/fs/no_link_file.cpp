#include "common/fs/no_link_file.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/win/text_conversion.h"

namespace mardonel {

namespace {

// The two cheap queries; GetFileInformationByHandle answers the same but
// also looks up the file's name, which costs a hundred times more. The
// second also gives the size, so that no caller asks again.
[[nodiscard]] DWORD CheckPlainFile(HANDLE file, std::int64_t& size) {
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  FILE_STANDARD_INFO standard = {};
  if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) ||
      !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
    return GetLastError();
  }
  if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || standard.NumberOfLinks > 1) return kLinkRefused;
  // As DeleteFileA answers for a folder.
  if (standard.Directory) return ERROR_ACCESS_DENIED;
  size = standard.EndOfFile.QuadPart;
  return ERROR_SUCCESS;
}

NoLinkFile Failed(DWORD error) {
  SetLastError(error);
  return {PlainFile{}, error};
}

NoLinkFile OpenForChange(const char* path) {
  return OpenFileNoLink(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

NoLinkFile OpenFileNoLink(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  unique_hfile file = unique_hfile(CreateFileA(path, access | FILE_READ_ATTRIBUTES, share, nullptr, disposition,
                                               flags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return Failed(GetLastError());
  // An open that found the file reports ERROR_ALREADY_EXISTS; keep it.
  const DWORD opened = GetLastError();
  std::int64_t size = 0;
  const DWORD checked = CheckPlainFile(file.get(), size);
  if (checked != ERROR_SUCCESS) return Failed(checked);
  SetLastError(opened);
  return {PlainFile{std::move(file), size}, ERROR_SUCCESS};
}

DWORD DeleteFileNoLink(const char* path) {
  const NoLinkFile opened = OpenForChange(path);
  if (!opened.ok()) return opened.status();
  FILE_DISPOSITION_INFO disposition = {};
  disposition.DeleteFile = TRUE;
  if (!SetFileInformationByHandle(opened.value().handle.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

DWORD RenameFileNoLink(const char* from, const char* to) {
  std::wstring wideTo;
  if (const DWORD error = AnsiToWide(to, CP_ACP, wideTo); error != ERROR_SUCCESS) return error;
  // The name follows the fixed part of the structure, its terminator included.
  const std::size_t nameBytes = (wideTo.size() + 1) * sizeof(WCHAR);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nameBytes - sizeof(WCHAR));
  std::memcpy(rename->FileName, wideTo.c_str(), nameBytes);

  const NoLinkFile opened = OpenForChange(from);
  if (!opened.ok()) return opened.status();
  if (!SetFileInformationByHandle(opened.value().handle.get(), FileRenameInfo, rename,
                                  static_cast<DWORD>(buffer.size()))) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

}  // namespace mardonel
