#include "scenario_player.h"

#include <string>

#include "utc_clock.h"

namespace mardonel {

namespace {

// Waits in slices so that a stop signal still ends a long wait at once.
bool WaitUnlessStopped(std::uint64_t milliseconds, const StopSignal& stop) {
  while (milliseconds > 0) {
    const DWORD slice = milliseconds > 60000 ? 60000 : static_cast<DWORD>(milliseconds);
    if (stop.Wait(slice)) return false;
    milliseconds -= slice;
  }
  return true;
}

}  // namespace

void PlayScenario(const std::vector<ScenarioStep>& steps, ModuleDriver& driver, HostTable& table,
                  const StopSignal& stop) {
  const std::uint64_t start = UtcNowFileTime();
  for (const ScenarioStep& step : steps) {
    if (stop.requested()) return;
    const std::string label = "line " + std::to_string(step.lineNumber) + ": " + DescribeStep(step);
    switch (step.event) {
      case ScenarioEvent::kStartup:
        driver.Startup(table.get(), label);
        break;
      case ScenarioEvent::kShutdown:
        driver.Shutdown(label);
        break;
      case ScenarioEvent::kSleep:
        driver.Sleep(label);
        break;
      case ScenarioEvent::kResume:
        driver.Resume(label);
        break;
      case ScenarioEvent::kNetChange:
        driver.NetAdaptersChanged(step.connected, step.force, label);
        break;
      case ScenarioEvent::kHeartbeat: {
        const std::uint64_t when = step.atOffset ? start + step.offsetUnits : UtcNowFileTime();
        driver.Heartbeat(FileTimeOf(when), label + " at " + UtcText(when));
        break;
      }
      case ScenarioEvent::kWait:
        PrintStamped(label);
        if (!WaitUnlessStopped(step.waitMilliseconds, stop)) return;
        break;
    }
  }
}

}  // namespace mardonel
