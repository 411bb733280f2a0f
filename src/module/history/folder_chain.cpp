#include "history/folder_chain.h"

#include <shlwapi.h>

#include <cstring>
#include <optional>

#include "common/fs/append_file.h"
#include "common/fs/directory.h"
#include "common/fs/folder_security.h"
#include "common/log/log.h"

namespace mardonel {

void CreateHistoryFolders(const std::string& statesFolder, FolderCreator create) {
  char path[MAX_PATH] = {};
  if (statesFolder.size() >= sizeof path) return;
  std::memcpy(path, statesFolder.c_str(), statesFolder.size() + 1);
  PathRemoveBackslashA(path);
  // Usually all is there; every act on a file checks the folders anyway.
  const DWORD present = GetFileAttributesA(path);
  if (present != INVALID_FILE_ATTRIBUTES && (present & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      (present & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return;
  }

  char own[kOwnHistoryFolders][MAX_PATH] = {};
  for (int level = kOwnHistoryFolders - 1; level >= 0; --level) {
    std::memcpy(own[level], path, sizeof path);
    if (!PathRemoveFileSpecA(path)) return;
  }
  // The folder above the module's own belongs to the system: default security,
  // and it may be a link by design. A folder that cannot be made fails the
  // file's own open, which says why.
  static_cast<void>(CreateDirectoryPath(path));

  FolderSecurity security(kProtectedFolderSddl);
  if (security.attributes() == nullptr) return;
  for (const char* folder : own) {
    if (IsReparseFolder(folder)) return;
    if (!create(folder, security.attributes()) && GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

PinnedFolders PinHistoryFolders(const std::string& path) { return PinnedFolders(path.c_str(), kOwnHistoryFolders); }

NoLinkFile OpenHistoryFile(const std::string& path, const PinnedFolders* held) {
  std::optional<PinnedFolders> own;
  if (held == nullptr) held = &own.emplace(path.c_str(), kOwnHistoryFolders);
  NoLinkFile file = held->refused() ? NoLinkFile{PlainFile{}, kLinkRefused} : OpenForAppend(path.c_str());
  if (file.status() == kLinkRefused) LogPrintf("%T: Refused to write history file through a link: %s\n", path.c_str());
  return file;
}

void DeleteHistoryFile(const std::string& path, const PinnedFolders& held) {
  const DWORD error = held.refused() ? kLinkRefused : DeleteFileNoLink(path.c_str());
  if (error == kLinkRefused) LogPrintf("%T: Refused to delete history file through a link: %s\n", path.c_str());
}

}  // namespace mardonel
