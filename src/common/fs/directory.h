// Folder creation, removal and path joining on ANSI paths of up to MAX_PATH.
#pragma once

#include <windows.h>

#include <cstdint>

namespace mardonel {

// Creates `path` and every missing folder above it. `path` is cut and restored
// while the parents are made. ERROR_SUCCESS when the folder exists at the
// end, else the error of the last attempt to make it.
[[nodiscard]] DWORD CreateDirectoryPath(char* path);

// Deletes everything below `folder` depth first, then the folder itself.
// Links to folders are removed, never followed.
void RemoveDirectoryTree(const char* folder);

// Writes folder + "\" + name into `destination` (which may be `folder`).
// Returns null, writing nothing, when the result would not fit in `size`.
[[nodiscard]] char* JoinPathName(char* destination, std::uint16_t size, const char* folder, const char* name);

}  // namespace mardonel
