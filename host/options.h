// The command line of agent-host. Needs nothing of the platform.
#pragma once

#include <string>
#include <vector>

#include "common/win/result.h"

namespace mardonel {

struct HostOptions {
  std::string scenarioFile;  // empty: follow the machine's own events
  unsigned heartbeatSeconds = 300;
  unsigned runSeconds = 0;  // 0: until Ctrl+C or the console closes
  bool includeLoopback = false;
  bool help = false;
};

// `arguments` without the program name; why the command line is refused.
[[nodiscard]] Result<HostOptions> ParseOptions(const std::vector<std::string>& arguments);

extern const char kUsageText[];

}  // namespace mardonel
