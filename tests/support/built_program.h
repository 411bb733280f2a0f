// Runs a program from the build's bin folder as a child process, with this
// process's environment, and collects what it printed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace mardonel {

struct ProgramRun {
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together
  bool finished = false;
};

// `onOutput`, when given, sees the output gathered so far after each read.
ProgramRun RunBuiltProgram(const std::string& name, const std::string& arguments,
                           const std::function<void(const std::string&)>& onOutput = nullptr);
// Wide `arguments` may hold what the ANSI code page lacks.
ProgramRun RunBuiltProgram(const std::string& name, const std::wstring& arguments,
                           const std::function<void(const std::string&)>& onOutput = nullptr);

std::string ProgramFolder();

}  // namespace mardonel
