// Plays a checked scenario against the module, one step at a time.
#pragma once

#include <vector>

#include "host_table.h"
#include "module_driver.h"
#include "scenario.h"
#include "stop_signal.h"

namespace mardonel {

// Heartbeat offsets count from the moment the scenario begins. A stop signal
// ends the play before the next step.
void PlayScenario(const std::vector<ScenarioStep>& steps, ModuleDriver& driver, HostTable& table,
                  const StopSignal& stop);

}  // namespace mardonel
