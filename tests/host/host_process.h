// Runs agent-host.exe from the build's bin folder as a child process.
#pragma once

#include "support/built_program.h"

namespace mardonel {

using HostRun = ProgramRun;

inline HostRun RunAgentHost(const std::string& arguments,
                            const std::function<void(const std::string&)>& onOutput = nullptr) {
  return RunBuiltProgram("agent-host.exe", arguments, onOutput);
}

}  // namespace mardonel
