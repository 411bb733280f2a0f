// The log file: its name and opening it for one record.
#pragma once

#include "common/win/win_owners.h"
#include "log_state.h"

namespace mardonel {

// The log file's name: the setting, or for an empty one
// C:\temp\<executable base name>.log; empty when no name can be made.
const char* LogFilePath(LogState& log);

// True when the file name setting is "-": records go to the console only.
bool IsConsoleOnlyLog(const LogSettings& settings);

// The log file opened for appending; its handle is empty when there is none to
// write (console only, in use by another program, not creatable, or refused
// because it or its folder is a link). Creates the file and its folders when
// missing.
LogFile OpenLogFile(LogState& log);

// Tells the console that `action` ("write", "roll over") on the log file
// `path` was refused because the file or its folder is a link: the log
// itself cannot be trusted with that line.
void ReportLogLinkRefused(const char* path, const char* action);

// For the file sink: the file for the next record, the one held open by a
// LogFileHold if there is one, otherwise OpenLogFile()'s.
LogFile TakeLogFile(LogState& log);

// For the file sink, after a record: the file stays open while a hold lasts;
// otherwise it is closed.
void PutBackLogFile(LogState& log, LogFile file);

}  // namespace mardonel
