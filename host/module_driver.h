// The module as the host holds it: Mardonel.dll loaded from the program's own
// folder, the object from its factory, and every call through the interface's
// vtable, printed with its result.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/win/win_owners.h"
#include "tovera/agent_module.h"

namespace mardonel {

class ModuleDriver {
 public:
  ModuleDriver() = default;
  ~ModuleDriver();
  ModuleDriver(const ModuleDriver&) = delete;
  ModuleDriver& operator=(const ModuleDriver&) = delete;

  // Loads the library and creates the module; false with `error` set otherwise.
  [[nodiscard]] bool Load(std::string& error);

  DWORD Startup(HostAddressTable* table, const std::string& label = "startup");
  DWORD Shutdown(const std::string& label = "shutdown");
  DWORD Sleep(const std::string& label = "sleep");
  DWORD Resume(const std::string& label = "resume");
  DWORD NetAdaptersChanged(bool connected, bool force, const std::string& label);
  DWORD Heartbeat(const FILETIME& utcNow, const std::string& label);

  // Shuts a started module down, destroys it through slot 0 and unloads the
  // library, reporting each step. Safe to call more than once.
  void Finish();

  [[nodiscard]] bool started() const { return started_; }
  // Operations that returned an error, and a failed unload.
  [[nodiscard]] int failures() const { return failures_; }

 private:
  DWORD Call(const std::string& label, const std::function<DWORD(Tovera::IAgentModule&)>& operation);

  unique_hmodule library_;
  Tovera::IAgentModule* module_ = nullptr;
  bool started_ = false;
  int failures_ = 0;
};

// One line of the host's output, stamped with the local time.
void PrintStamped(const std::string& text);

}  // namespace mardonel
