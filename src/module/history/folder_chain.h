// The module's own folders for its history, Quarnel down to States, and the
// acts on history files that no link planted there may redirect.
#pragma once

#include <windows.h>

#include <string>

#include "common/fs/no_link_file.h"
#include "common/fs/no_link_folder.h"

namespace mardonel {

// Quarnel, ToveraAgt and States: made by the module with a protected
// descriptor, and checked for links at every act on a history file.
inline constexpr int kOwnHistoryFolders = 3;

using FolderCreator = BOOL(WINAPI*)(LPCSTR path, LPSECURITY_ATTRIBUTES security);

// Makes the missing folders of `statesFolder`: those above the module's own
// with default security, the module's own with kProtectedFolderSddl through
// `create`. Folders that exist keep their security; nothing is made beneath
// one of the module's folders that is a link.
void CreateHistoryFolders(const std::string& statesFolder, FolderCreator create = CreateDirectoryA);

// The module's folders of the history file or folder at `path`, checked and
// held: a series of acts inside (the maintenance) checks them only once.
PinnedFolders PinHistoryFolders(const std::string& path);

// The history file at `path` opened for appending; refused, and the refusal
// logged, when it or one of the module's folders is a link. `held`: those
// folders as the caller checked and holds them; otherwise they are checked
// here.
NoLinkFile OpenHistoryFile(const std::string& path, const PinnedFolders* held = nullptr);

// Deletes the history file at `path`, in the folders `held`, unless it or
// one of those folders is a link; a refusal is logged.
void DeleteHistoryFile(const std::string& path, const PinnedFolders& held);

}  // namespace mardonel
