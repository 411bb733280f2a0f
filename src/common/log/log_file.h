// The log file: its default name and opening it for one record.
#pragma once

#include "common/win/unique_any.h"

namespace mardonel {

// Fills an empty LogFileName with C:\temp\<executable base name>.log.
void EnsureLogFileName();

// True when LogFileName is "-": records go to the console only.
bool IsConsoleOnlyLog();

// The log file opened for appending, or null when there is none to write
// (console only, in use by another program, not creatable, or refused because
// it or its folder is a link). Creates the file and its folders when missing.
// The caller holds the log lock.
unique_hfile OpenLogFile();

// Tells the console that `action` ("write", "roll over") was refused because
// the log file or its folder is a link: the log itself cannot be trusted with
// that line.
void ReportLogLinkRefused(const char* action);

}  // namespace mardonel
