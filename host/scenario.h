// Scenario files: one host event a line, checked whole before anything runs.
// Needs nothing of the platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/win/result.h"

namespace mardonel {

enum class ScenarioEvent { kStartup, kShutdown, kSleep, kResume, kNetChange, kHeartbeat, kWait };

struct ScenarioStep {
  ScenarioEvent event;
  int lineNumber;
  bool connected = true;               // kNetChange
  bool force = false;                  // kNetChange
  bool atOffset = false;               // kHeartbeat: false means the current time
  std::int64_t offsetUnits = 0;        // kHeartbeat: 100-ns units from the start of the run
  std::uint64_t waitMilliseconds = 0;  // Wait
};

// The steps, or why the text is refused ("line N: ...").
[[nodiscard]] Result<std::vector<ScenarioStep>> ParseScenario(const std::string& text);

// How a step reads in the host's output, e.g. "netchange disconnected".
std::string DescribeStep(const ScenarioStep& step);

}  // namespace mardonel
