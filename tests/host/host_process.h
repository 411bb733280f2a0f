// Runs agent-host.exe from the build's bin folder as a child process, with
// this process's environment, and collects what it printed.
#pragma once

#include <windows.h>

#include <string>

struct HostRun {
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together
  bool finished = false;
};

HostRun RunAgentHost(const std::string& arguments);

std::string ProgramFolder();
