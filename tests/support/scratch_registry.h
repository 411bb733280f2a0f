// The machine registry of this process redirected to a throwaway key for
// the life of the object, so that a test starts from an empty
// HKEY_LOCAL_MACHINE and never touches the prefix's own. Wine honours the
// redirection for the calling process only: other processes (reg.exe, the
// host, the installer) still see the real one.
#pragma once

#include <string>

#include "common/win/unique_any.h"

namespace mardonel {

class ScratchMachineRegistry {
 public:
  ScratchMachineRegistry();
  ~ScratchMachineRegistry();
  ScratchMachineRegistry(const ScratchMachineRegistry&) = delete;
  ScratchMachineRegistry& operator=(const ScratchMachineRegistry&) = delete;

 private:
  unique_hkey scratch_;
};

// Where another process finds `key` ("HKLM\...") as this process sees it now.
std::string KeyForOtherProcesses(const std::string& key);

}  // namespace mardonel
