// Opening a text file for appending records.
#pragma once

#include "common/fs/no_link_file.h"

namespace mardonel {

// Opens `path` for appending, creating it when missing; other programs may
// read and write it meanwhile. Refused when the name is a link. The handle
// may also read, to see how the file ends.
NoLinkFile OpenForAppend(const char* path);

// `open` tells whether the file's last line lacks its CR LF (an empty file
// has none). ERROR_SUCCESS or the platform's error.
DWORD CheckLastLineOpen(HANDLE file, bool& open);

// Writes all of `data`; false with the thread's last error on failure.
bool WriteAll(HANDLE file, const char* data, DWORD length);

}  // namespace mardonel
