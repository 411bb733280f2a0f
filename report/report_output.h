// Where the report's text goes: standard output byte for byte, or a file
// that a reader sees whole or not at all.
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// All of `text` to standard output as it is: no line end is changed, so a
// line feed inside a quoted CSV field stays one. ERROR_SUCCESS or the failed
// write's error.
[[nodiscard]] DWORD WriteStandardOutput(const std::string& text);

// `text` into the file `path` (UTF-8) through a new file beside it, renamed
// over it once written and flushed: a reader, on a share too, sees the old
// file or the whole new one, and a failure leaves no part of it behind.
// ERROR_SUCCESS or the platform's error.
[[nodiscard]] DWORD WriteFileWhole(const std::string& path, const std::string& text);

}  // namespace mardonel
