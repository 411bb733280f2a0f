#include "common/fs/no_link_folder.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/fs/directory.h"

namespace mardonel {

namespace {

// Where the separators (backslashes and slashes) of `path` stand, trail
// bytes of double-byte characters left out.
std::vector<std::size_t> SeparatorsOf(const std::string& path) {
  std::vector<std::size_t> separators;
  for (const char* cursor = path.c_str(); *cursor != '\0'; cursor = CharNextA(cursor)) {
    if (IsPathSeparator(*cursor)) separators.push_back(static_cast<std::size_t>(cursor - path.c_str()));
  }
  return separators;
}

bool IsReparseAttribute(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The folder part of `path` ending at `separator`; empty for a drive's root,
// which cannot be a link.
std::string FolderAt(const std::string& path, std::size_t separator) {
  std::string folder = path.substr(0, separator);
  if (!folder.empty() && folder.back() == ':') folder.clear();
  return folder;
}

}  // namespace

bool IsReparseFolder(const char* folder) {
  std::string name = folder;
  const std::vector<std::size_t> separators = SeparatorsOf(name);
  // With its trailing backslash a link's name stands for its target.
  if (!separators.empty() && separators.back() + 1 == name.size()) name.pop_back();
  return IsReparseAttribute(GetFileAttributesA(name.c_str()));
}

bool IsInReparseFolder(const char* path) {
  const std::string file = path;
  const std::vector<std::size_t> separators = SeparatorsOf(file);
  if (separators.empty()) return false;
  const std::string folder = FolderAt(file, separators.back());
  return !folder.empty() && IsReparseFolder(folder.c_str());
}

PinnedFolders::PinnedFolders(const char* path, int levels) {
  const std::string file = path;
  const std::vector<std::size_t> separators = SeparatorsOf(file);
  if (separators.empty() || levels <= 0) return;
  const std::string innermost = FolderAt(file, separators.back());
  if (!innermost.empty()) {
    innermost_ =
        unique_hfile(CreateFileA(innermost.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    refused_ = innermost_ && GetFileInformationByHandleEx(innermost_.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
               IsReparseAttribute(tag.FileAttributes);
  }
  // Checked by name after the pin, as some platforms show a link only by its
  // name, not through a handle.
  const int count = static_cast<int>(separators.size());
  for (int index = count - 1; index >= 0 && index >= count - levels && !refused_; --index) {
    const std::string folder = FolderAt(file, separators[static_cast<std::size_t>(index)]);
    refused_ = !folder.empty() && IsReparseFolder(folder.c_str());
  }
}

}  // namespace mardonel
