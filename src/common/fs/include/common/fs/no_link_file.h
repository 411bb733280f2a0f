// Files acted on as themselves, never through a link. The module runs with
// more rights than the users who can write its folders: a link planted there
// must not turn an append, a deletion or a rename onto some other file.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/win/win_owners.h"
#include "common/win/with_status.h"

namespace mardonel {

// The error of an act refused because the name is a link (a reparse point,
// or a file with more than one name) or lies in a folder that is one.
inline constexpr DWORD kLinkRefused = ERROR_CANT_ACCESS_FILE;

// A file opened as itself.
struct PlainFile {
  unique_hfile handle;
  std::int64_t size = 0;  // bytes, from the query that checked the links
};
// Status ERROR_SUCCESS, kLinkRefused or the platform's error; an empty
// handle unless opened and plain.
using NoLinkFile = WithStatus<PlainFile>;

// CreateFileA of the name itself (FILE_FLAG_OPEN_REPARSE_POINT), refused
// when that is a reparse point, a folder, or a file with more than one hard
// link. The thread's last error is the status when nothing is opened.
NoLinkFile OpenFileNoLink(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);

// Deletes the file through the handle that was checked, so that the name
// cannot be swapped for a link in between. ERROR_SUCCESS, kLinkRefused or
// the platform's error (ERROR_FILE_NOT_FOUND when there is none).
[[nodiscard]] DWORD DeleteFileNoLink(const char* path);

// Renames the file `from` to `to` through the handle that was checked; an
// existing `to` is never replaced. Same results as DeleteFileNoLink.
[[nodiscard]] DWORD RenameFileNoLink(const char* from, const char* to);

}  // namespace mardonel
