// Opening a text file for appending records.
#pragma once

#include "common/fs/no_link_file.h"

namespace mardonel {

// Opens `path` for appending, creating it when missing; other programs may
// read and write it meanwhile. Refused when the name is a link. The handle
// may also read, to see how the file ends.
NoLinkFile OpenForAppend(const char* path);

// `open` tells whether the file's last line lacks its line end: it does not
// end in a line feed (CR LF, or a bare LF as other programs write it; an
// empty file has no line). ERROR_SUCCESS or the platform's error. Reads at
// an offset, which moves a synchronous handle's file pointer.
[[nodiscard]] DWORD CheckLastLineOpen(HANDLE file, bool& open);

using FileWriter = BOOL(WINAPI*)(HANDLE file, LPCVOID data, DWORD length, LPDWORD written, LPOVERLAPPED at);

// Writes all of `data`, going on after a write that takes only part of it;
// ERROR_SUCCESS, the failed write's error, or ERROR_WRITE_FAULT when a write
// takes nothing.
// Tests take part of each write through `write`.
[[nodiscard]] DWORD WriteAll(HANDLE file, const char* data, DWORD length, FileWriter write = WriteFile);

}  // namespace mardonel
