// Opening a text file for appending records.
#pragma once

#include "common/fs/no_link_file.h"

// Opens `path` for appending, creating it when missing; other programs may
// read and write it meanwhile. Refused when the name is a link.
NoLinkFile OpenForAppend(const char* path);

// Writes all of `data`; false with the thread's last error on failure.
bool WriteAll(HANDLE file, const char* data, DWORD length);
