// Follows the machine's own events: start-up at once, a heartbeat every
// period, address changes as they come, until the stop signal or the end of
// the run's length.
#pragma once

#include "host_table.h"
#include "module_driver.h"
#include "options.h"
#include "stop_signal.h"

namespace mardonel {

void RunLive(const HostOptions& options, ModuleDriver& driver, HostTable& table, const StopSignal& stop);

}  // namespace mardonel
