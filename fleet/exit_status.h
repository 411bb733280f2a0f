// The program's exit statuses, one meaning each; scripts and cron tell them
// apart.
#pragma once

namespace mardonel::fleet {

enum class ExitStatus : int {
  // Everything taken, or nothing changed.
  kDone = 0,
  // Something was not taken and will be tried again: the database could not
  // be reached, the server failed of its own, a file could not be read.
  kTryAgain = 1,
  // A wrong command line; nothing was done.
  kCommandLine = 2,
  // Some file is not the report's CSV: named with its line, not taken until
  // it changes.
  kRefused = 3,
};

[[nodiscard]] constexpr int ToInt(ExitStatus status) noexcept { return static_cast<int>(status); }

}  // namespace mardonel::fleet
