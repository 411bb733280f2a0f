// How long the management point check holds the host's thread when nothing
// answers, against the 5-second bound of its wait: one check alone, and a
// whole evaluation of a machine with four adapters on unknown subnets.
#include <memory>
#include <optional>
#include <string>

#include "bench.h"
#include "connection/config_mgr_mp_connection.h"
#include "module/managed_network_check.h"
#include "support/loopback_listener.h"
#include "support/scratch_registry.h"
#include "support/test_host_table.h"

namespace mardonel {

namespace {

constexpr double kConnectBound = 5.0;  // seconds

// A full backlog leaves a further connection unanswered; nothing leaves the machine.
std::unique_ptr<ConfigMgrMPConnection> UnansweredConnection(const LoopbackListener& listener) {
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  return std::make_unique<ConfigMgrMPConnection>([name] { return std::optional<std::wstring>(name); });
}

double UnansweredCheckRatio() {
  LoopbackListener listener;
  listener.FillBacklog();
  const auto connection = UnansweredConnection(listener);
  return BestSeconds(2, [&] { connection->TestConnectivity(); }) / kConnectBound;
}

double UnansweredEvaluationRatio() {
  LoopbackListener listener;
  listener.FillBacklog();
  ScratchMachineRegistry registry;
  registry.Redirect();  // no subnet remembered
  TestHostTable table;
  ManagedNetworkCheck check([&listener] { return UnansweredConnection(listener); });
  check.Connect(table.get());
  check.LoadManagedSubnets();
  for (const char* address : {"10.1.2.3", "10.2.3.4", "192.168.56.1", "172.17.0.1"}) table.Add(address, "255.255.0.0");
  return BestSeconds(2, [&] { static_cast<void>(check.IsManagedNetwork()); }) / kConnectBound;
}

const BenchRegistrar check{
    BenchFigure{"management point check, unanswered connection / 5 s bound", "at most 1.1", UnansweredCheckRatio}};
const BenchRegistrar evaluation{
    BenchFigure{"evaluation of four unknown subnets, unanswered management point / 5 s bound", "at most 1.1",
                UnansweredEvaluationRatio}};

}  // namespace

}  // namespace mardonel
