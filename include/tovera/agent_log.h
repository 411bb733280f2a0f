// The module's diagnostic log, offered to the host: Mardonel.dll exports
// vLogPrintf and vFastLogPrintf by name (GetProcAddress, or LogFunction below).
//
// Calling contract, the same for both:
// - `format` and `args` follow the C runtime's vprintf; the caller owns `args`
//   (va_start before, va_end after). A null `format` counts as an empty one.
// - A format that begins with "%T" is stamped: "%T" becomes the local date in
//   the system's short-date format and the time as hh:mm:ss. An unstamped
//   line that follows a stamped one is indented to line up under its text.
// - A record ending in "\n" ends its line (written as CR LF); one that does
//   not is continued by the next record. A record longer than 3000 bytes is
//   cut and ends in "...".
// - Safe from any thread: one lock keeps every record whole and each thread's
//   records in order. The caller's last-error value is kept. Nothing is
//   thrown; a record lost to a failed allocation counts as not written.
// - Every record is written, whatever the Debug setting; MaxLogFilesize 0
//   (log off) makes vLogPrintf write nothing. Until the agent starts the
//   module the defaults apply (C:\temp\<program name>.log, 1048576 bytes).
// - The result is positive when the record was written or queued, 0 when
//   nothing was.
//
// vLogPrintf writes the lines queued before it, then its record, to the
// console and to the log file (opened, appended to and closed on each call),
// and rolls the file over at MaxLogFilesize. When the file cannot be opened
// the record is queued instead. An empty format writes only what is queued.
//
// vFastLogPrintf only formats the record and queues it, touching no file;
// it is written by the next vLogPrintf. The queue keeps at most 4096 records
// or 1 MiB of text, dropping the oldest beyond that.
#pragma once

#include <cstdarg>

#if defined(MARDONEL_BUILD)
#define TOVERA_LOG_API __declspec(dllexport)
#else
#define TOVERA_LOG_API
#endif

extern "C" {
TOVERA_LOG_API int vLogPrintf(const char* format, va_list args);
TOVERA_LOG_API int vFastLogPrintf(const char* format, va_list args);
}

namespace Tovera {

using LogFunction = int (*)(const char* format, va_list args);

}  // namespace Tovera
