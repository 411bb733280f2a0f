#include "live_run.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "address_change_watch.h"
#include "common/win/error_text.h"
#include "utc_clock.h"

namespace mardonel {

namespace {

void NetworkChanged(ModuleDriver& driver, HostTable& table) {
  const DWORD result = table.Rebuild();
  if (result != ERROR_SUCCESS) PrintStamped("address table kept: " + ErrorMessage(result));
  const bool connected = !table.empty();
  driver.NetAdaptersChanged(connected, false,
                            std::string("addresses changed: netchange") + (connected ? "" : " disconnected"));
}

// A watch that cannot be armed leaves the run to its heartbeats.
void ArmWatch(AddressChangeWatch& watch) {
  const DWORD error = watch.Arm();
  if (error != ERROR_SUCCESS) PrintStamped("address changes cannot be watched: " + ErrorMessage(error));
}

}  // namespace

void RunLive(const HostOptions& options, ModuleDriver& driver, HostTable& table, const StopSignal& stop) {
  const std::uint64_t period = std::uint64_t{options.heartbeatSeconds} * 1000;
  const std::uint64_t start = GetTickCount64();
  const std::uint64_t end = options.runSeconds == 0 ? UINT64_MAX : start + std::uint64_t{options.runSeconds} * 1000;
  std::uint64_t nextHeartbeat = start + period;

  AddressChangeWatch watch;
  ArmWatch(watch);

  driver.Startup(table.get());
  for (;;) {
    const std::uint64_t now = GetTickCount64();
    if (now >= end) {
      PrintStamped("run length reached");
      return;
    }
    if (now >= nextHeartbeat) {
      const std::uint64_t utc = UtcNowFileTime();
      driver.Heartbeat(FileTimeOf(utc), "heartbeat at " + UtcText(utc));
      nextHeartbeat = GetTickCount64() + period;
      continue;
    }
    HANDLE events[2] = {stop.event(), watch.event()};
    const DWORD count = events[1] != nullptr ? 2 : 1;
    const DWORD timeout = static_cast<DWORD>(std::min<std::uint64_t>(std::min(end, nextHeartbeat) - now, 60000));
    const DWORD woke = WaitForMultipleObjects(count, events, FALSE, timeout);
    if (woke == WAIT_OBJECT_0) {
      PrintStamped("stop requested");
      return;
    }
    if (woke == WAIT_FAILED) {
      PrintStamped("cannot wait for events: " + ErrorMessage(GetLastError()));
      return;
    }
    if (woke == WAIT_OBJECT_0 + 1) {
      // Ask again first, so that a change during the rebuild is not missed.
      ArmWatch(watch);
      NetworkChanged(driver, table);
    }
  }
}

}  // namespace mardonel
