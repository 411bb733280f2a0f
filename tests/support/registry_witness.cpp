#include "support/registry_witness.h"

#include <windows.h>

#include <vector>

#include "common/win/win_owners.h"
#include "support/scratch_registry.h"
#include "support/text_lines.h"

namespace mardonel {

namespace {

constexpr char kRegExe[] = "C:\\windows\\system32\\reg.exe";
constexpr char kColumn[] = "    ";
constexpr DWORD kRegExeWaitMs = 30000;

struct RegExeRun {
  DWORD exitCode = 1;
  std::string output;
};

RegExeRun RunRegExeOnce(const std::string& arguments) {
  RegExeRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  unique_handle reader(readEnd);
  unique_handle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::string commandLine = std::string("\"") + kRegExe + "\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    return run;
  }
  unique_handle processHandle(process.hProcess);
  unique_handle threadHandle(process.hThread);
  writer.reset();  // the child holds the only write end: end of output ends the read

  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) run.output.append(chunk, got);
  if (WaitForSingleObject(process.hProcess, kRegExeWaitMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &run.exitCode);
  }
  return run;
}

// Only queries run here, so asking again changes nothing: a fresh prefix
// under load has been seen to fail one reg.exe query of a value just written.
RegExeRun RunRegExe(const std::string& arguments) {
  RegExeRun run = RunRegExeOnce(arguments);
  if (run.exitCode != 0) run = RunRegExeOnce(arguments);
  return run;
}

// A value line: four blanks, the name, four blanks, the type, four blanks, the data.
bool ParseValueLine(const std::string& line, std::string& name, RegExeValue& value) {
  if (line.rfind(kColumn, 0) != 0) return false;
  const std::size_t typeStart = line.find(std::string(kColumn) + "REG_", 4);
  if (typeStart == std::string::npos) return false;
  name = line.substr(4, typeStart - 4);
  const std::size_t typeBegin = typeStart + 4;
  const std::size_t dataStart = line.find(kColumn, typeBegin);
  value.type = line.substr(typeBegin, dataStart == std::string::npos ? std::string::npos : dataStart - typeBegin);
  value.data = dataStart == std::string::npos ? std::string() : line.substr(dataStart + 4);
  return true;
}

std::map<std::string, RegExeValue> ParseValues(const std::string& output) {
  std::map<std::string, RegExeValue> values;
  for (const std::string& line : SplitLines(output)) {
    std::string name;
    RegExeValue value;
    if (ParseValueLine(line, name, value)) values[name] = value;
  }
  return values;
}

}  // namespace

std::optional<std::map<std::string, RegExeValue>> RegExeQueryKey(const std::string& key) {
  const RegExeRun run = RunRegExe("query \"" + KeyForOtherProcesses(key) + "\"");
  if (run.exitCode != 0) return std::nullopt;
  return ParseValues(run.output);
}

std::optional<RegExeValue> RegExeQueryValue(const std::string& key, const std::string& name) {
  const RegExeRun run = RunRegExe("query \"" + KeyForOtherProcesses(key) + "\" /v \"" + name + "\"");
  if (run.exitCode != 0) return std::nullopt;
  const auto values = ParseValues(run.output);
  const auto found = values.find(name);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

}  // namespace mardonel
