// Which file the log writes for the LogFileName setting: the one rule the
// module follows and the host reports by.
#pragma once

#include <string>
#include <string_view>

#include "common/log/log_settings.h"

namespace mardonel {

// Empty (the default name), "-", or a full path of printable characters
// that names a plain file outside the history folder. A relative name would
// resolve against the service's current folder, System32, and so would a
// variable the expansion left as %NAME%; a device would swallow every
// record, a stream hide them, and a history file's name lose the history at
// the first rollover.
[[nodiscard]] bool IsUsableLogFileName(std::string_view name);

// C:\temp\<executable base name>.log into `name`; left empty when the
// executable's path cannot be had.
void MakeDefaultLogFileName(char (&name)[kLogFileNameSize]);

// The file the log writes under the setting `name` as read: the name, or
// the default one when it is empty or not usable; empty when the log goes
// to the console only ("-").
[[nodiscard]] std::string LogFileNameFor(std::string_view name);

}  // namespace mardonel
