// Folder creation, removal and path joining on ANSI paths of up to MAX_PATH.
// A slash separates folders as a backslash does.
#pragma once

#include <windows.h>

#include <cstdint>

namespace mardonel {

inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// Creates `path` and every missing folder above it. `path` is cut and restored
// while the parents are made. ERROR_SUCCESS when the folder exists at the
// end, else the error of the last attempt to make it.
[[nodiscard]] DWORD CreateDirectoryPath(char* path);

// Creates the folder that holds the file `path`, as CreateDirectoryPath does.
// ERROR_SUCCESS too for a bare name, which lies in no folder of its own.
[[nodiscard]] DWORD CreateFolderOf(const char* path);

// True when `path` names the same place from any current folder: a drive's
// letter, a colon and a separator, or two separators before a server's name.
[[nodiscard]] bool IsFullPath(const char* path);

// Deletes everything below `folder` depth first, then the folder itself.
// Links to folders are removed, never followed.
void RemoveDirectoryTree(const char* folder);

// Writes folder + "\" + name into `destination` (which may be `folder`).
// Returns null, writing nothing, when the result would not fit in `size`.
[[nodiscard]] char* JoinPathName(char* destination, std::uint16_t size, const char* folder, const char* name);

}  // namespace mardonel
