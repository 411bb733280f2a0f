// How long a management point check that gets no answer holds the host's
// thread, against the 5-second bound of its connection wait.
#include <optional>
#include <string>

#include "bench.h"
#include "connection/ConfigMgrMPConnection.h"
#include "loopback_listener.h"

namespace {

constexpr double kConnectBound = 5.0;  // seconds

double UnansweredCheckRatio() {
  // A full backlog leaves a further connection unanswered; nothing leaves the machine.
  LoopbackListener listener;
  listener.FillBacklog();
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  ConfigMgrMPConnection connection([name] { return std::optional<std::wstring>(name); });
  return BestSeconds(2, [&] { connection.TestConnectivity(); }) / kConnectBound;
}

const BenchRegistrar registrar{BenchFigure{"management point check, unanswered connection / 5 s bound",
                                           "at most 1.1", UnansweredCheckRatio}};

}  // namespace
