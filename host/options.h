// The command line of agent-host. Needs nothing of the platform.
#pragma once

#include <string>
#include <vector>

namespace mardonel {

struct HostOptions {
  std::string scenarioFile;  // empty: follow the machine's own events
  unsigned heartbeatSeconds = 300;
  unsigned runSeconds = 0;  // 0: until Ctrl+C or the console closes
  bool includeLoopback = false;
  bool help = false;
};

struct OptionsResult {
  HostOptions options;
  std::string error;  // empty when the command line is sound
};

// `arguments` without the program name.
OptionsResult ParseOptions(const std::vector<std::string>& arguments);

extern const char kUsageText[];

}  // namespace mardonel
