// The one stand-in for the management point check: it answers as its script
// says, with an exception when asked, and the script shows what the module
// did with it.
#pragma once

#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "connection/connection.h"

namespace mardonel {

struct ConnectionScript {
  enum class Failure { kNone, kOutOfMemory, kError };

  bool reachable = false;
  std::function<void()> duringCheck;          // before every answer
  std::optional<std::uint32_t> localAddress;  // what the check says it was reached from
  Failure failure = Failure::kNone;

  long checks = 0;
  bool destroyed = false;
  int live = 0;  // connections made and not yet destroyed
};

class FakeConnection : public IConnection {
 public:
  explicit FakeConnection(ConnectionScript& script) : script_(script) { ++script_.live; }
  ~FakeConnection() override {
    script_.destroyed = true;
    --script_.live;
  }
  bool IsAvailable() override { return true; }
  bool TestConnectivity() override {
    ++script_.checks;
    if (script_.duringCheck) script_.duringCheck();
    if (script_.failure == ConnectionScript::Failure::kOutOfMemory) throw std::bad_alloc();
    if (script_.failure == ConnectionScript::Failure::kError) throw std::runtime_error("check");
    return script_.reachable;
  }
  std::optional<std::uint32_t> LastLocalAddress() override { return script_.localAddress; }

 private:
  ConnectionScript& script_;
};

// A maker of fake checks, each answering as `script` says, for the module to
// make one at every start-up.
inline std::function<std::unique_ptr<IConnection>()> FakeConnectionOf(ConnectionScript& script) {
  return [&script]() -> std::unique_ptr<IConnection> { return std::make_unique<FakeConnection>(script); };
}

}  // namespace mardonel
