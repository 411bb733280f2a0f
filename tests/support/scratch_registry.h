// The machine registry of this process redirected to a throwaway key for
// the life of the object, so that a test starts from an empty
// HKEY_LOCAL_MACHINE and never touches the prefix's own. Wine honours the
// redirection for the calling process only: other processes (reg.exe, the
// host, the installer) still see the real one.
#pragma once

#include <string>

#include "common/win/win_owners.h"

namespace mardonel {

class ScratchMachineRegistry {
 public:
  ScratchMachineRegistry() = default;
  ~ScratchMachineRegistry();
  ScratchMachineRegistry(const ScratchMachineRegistry&) = delete;
  ScratchMachineRegistry& operator=(const ScratchMachineRegistry&) = delete;

  // A fatal failure when the redirection cannot be made: call it as
  // ASSERT_NO_FATAL_FAILURE(registry.Redirect()), so that a test never goes
  // on against the machine's own keys.
  void Redirect();

 private:
  unique_hkey scratch_;
};

// Where another process finds `key` ("HKLM\...") as this process sees it now.
std::string KeyForOtherProcesses(const std::string& key);

}  // namespace mardonel
