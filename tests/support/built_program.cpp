#include "support/built_program.h"

#include "common/win/text_conversion.h"
#include "common/win/win_owners.h"

namespace mardonel {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string full(path, length);
  return full.substr(0, full.find_last_of('\\') + 1);
}

ProgramRun RunBuiltProgram(const std::string& name, const std::string& arguments,
                           const std::function<void(const std::string&)>& onOutput) {
  std::wstring wide;
  if (AnsiToWide(arguments.c_str(), CP_ACP, wide) != ERROR_SUCCESS) return {};
  return RunBuiltProgram(name, wide, onOutput);
}

ProgramRun RunBuiltProgram(const std::string& name, const std::wstring& arguments,
                           const std::function<void(const std::string&)>& onOutput) {
  ProgramRun run;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
  const unique_handle reader(readEnd);
  unique_handle writer(writeEnd);
  SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writer.get();
  startup.hStdError = writer.get();
  std::wstring folder;
  std::wstring program;
  if (AnsiToWide(ProgramFolder().c_str(), CP_ACP, folder) != ERROR_SUCCESS ||
      AnsiToWide((ProgramFolder() + name).c_str(), CP_ACP, program) != ERROR_SUCCESS) {
    return run;
  }
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    return run;
  }
  const unique_handle processHandle(process.hProcess);
  const unique_handle threadHandle(process.hThread);
  writer.reset();  // the pipe ends when the child's copy closes

  // The pipe may outlive the program: a service it starts (COM's, for one)
  // can inherit the write end. So the program's exit, not the pipe's end,
  // ends the reading.
  const auto readAvailable = [&] {
    char buffer[4096];
    DWORD available = 0;
    DWORD got = 0;
    while (PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
      run.output.append(buffer, got);
      if (onOutput) onOutput(run.output);
    }
  };
  const ULONGLONG deadline = GetTickCount64() + 60000;
  while (!run.finished && GetTickCount64() < deadline) {
    run.finished = WaitForSingleObject(processHandle.get(), 20) == WAIT_OBJECT_0;
    readAvailable();
  }
  if (!run.finished) TerminateProcess(processHandle.get(), 1);
  GetExitCodeProcess(processHandle.get(), &run.exitCode);
  return run;
}

}  // namespace mardonel
