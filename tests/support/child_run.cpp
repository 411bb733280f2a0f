#include "support/child_run.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/win/win_owners.h"
#include "support/temp_folder.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kChildMark[] = "MARDONEL_CHILD_RUN";
constexpr int kReportWaitMilliseconds = 60000;

bool SameName(const std::string& entry, const std::string& variable) {
  const std::size_t length = variable.find('=');
  return length != std::string::npos && entry.size() > length && entry[length] == '=' &&
         _strnicmp(entry.c_str(), variable.c_str(), length) == 0;
}

// This process's environment with `variables` in place of any of the same
// name, as a block of NUL-terminated entries.
std::string EnvironmentBlock(const std::vector<std::string>& variables) {
  std::string block;
  const unique_environment_strings strings(GetEnvironmentStringsA());
  for (const char* entry = strings.get(); *entry != '\0'; entry += std::strlen(entry) + 1) {
    const std::string text = entry;
    // The per-drive current folders ("=C:=...") are no Unix variables; LC_*
    // would override the LANG a child is given.
    if (text[0] == '=' || text.rfind("LC_", 0) == 0) continue;
    const bool replaced =
        std::any_of(variables.begin(), variables.end(), [&](const std::string& v) { return SameName(text, v); });
    if (!replaced) block += text + '\0';
  }
  for (const std::string& variable : variables) block += variable + '\0';
  block += std::string(kChildMark) + "=1" + '\0';
  block += '\0';
  return block;
}

// The Unix path of the Wine loader; empty outside Wine.
std::string WineLoader() {
  char loader[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("WINELOADER", loader, sizeof loader);
  return length == 0 || length >= sizeof loader ? std::string() : std::string(loader);
}

// Started by its Z: path, the loader runs as a Unix program whose Unix
// environment is the block it is given.
std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// A process started as a Unix program has no handle to wait on: its test
// report, written last, tells that it has finished.
std::string WaitForReport(const std::string& path) {
  for (int waited = 0; waited < kReportWaitMilliseconds; waited += 50) {
    if (FileExists(path)) {
      const std::string text = ReadWholeFile(path);
      if (text.find("</testsuites>") != std::string::npos) return text;
    }
    Sleep(50);
  }
  return {};
}

std::string AttributeOf(const std::string& report, const char* name) {
  const std::size_t element = report.find("<testsuites ");
  if (element == std::string::npos) return {};
  const std::string key = std::string(" ") + name + "=\"";
  const std::size_t start = report.find(key, element);
  if (start == std::string::npos) return {};
  const std::size_t value = start + key.size();
  return report.substr(value, report.find('"', value) - value);
}

}  // namespace

bool IsChildRun() { return GetEnvironmentVariableA(kChildMark, nullptr, 0) != 0; }

testing::AssertionResult RunTestsInChild(const std::string& filter, const std::vector<std::string>& variables,
                                         std::uint64_t fileSizeLimit) {
  const std::string loader = WineLoader();
  if (loader.empty()) return testing::AssertionFailure() << "WINELOADER is not set: not running under Wine";
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);

  ScopedTempFolder folder;
  const std::string report = folder / "report.xml";
  // The loader finds its companions by the name it was started under.
  std::string command =
      "\"" + loader + "\" \"" + program + "\" --gtest_filter=" + filter + " --gtest_output=xml:" + report;
  std::string application = WindowsPathOf(loader);
  if (fileSizeLimit != 0) {
    // The limit is set by a shell that ignores SIGXFSZ first; the wineserver
    // already runs without it.
    const std::string shell = "/bin/sh";
    command = shell + " -c \"trap '' XFSZ; exec prlimit --fsize=" + std::to_string(fileSizeLimit) +
              " -- \\\"$@\\\"\" sh " + command;
    application = WindowsPathOf(shell);
  }
  std::string environment = EnvironmentBlock(variables);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(application.c_str(), command.data(), nullptr, nullptr, FALSE, 0, environment.data(), nullptr,
                      &startup, &process)) {
    return testing::AssertionFailure() << "cannot start " << loader << ": error " << GetLastError();
  }
  const unique_handle thread(process.hThread);
  const unique_handle child(process.hProcess);

  const std::string text = WaitForReport(report);
  if (text.empty()) return testing::AssertionFailure() << "no report from the child run of " << filter;
  const std::string tests = AttributeOf(text, "tests");
  if (tests.empty() || tests == "0" || AttributeOf(text, "failures") != "0" || AttributeOf(text, "errors") != "0" ||
      text.find("<skipped") != std::string::npos) {
    return testing::AssertionFailure() << "child run of " << filter << " did not pass:\n" << text;
  }
  return testing::AssertionSuccess();
}

}  // namespace mardonel
