// agent-host: runs Mardonel.dll the way the agent service does, on this
// machine's events or on a scenario, and shows what the module recorded.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "common/cli/program_arguments.h"
#include "common/win/error_text.h"
#include "common/win/text_conversion.h"
#include "host_table.h"
#include "live_run.h"
#include "module_driver.h"
#include "options.h"
#include "run_report.h"
#include "scenario.h"
#include "scenario_player.h"
#include "stop_signal.h"

namespace mardonel {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The whole text of the file; nothing when it cannot be read. `path` in
// UTF-8, as the command line gave it.
std::optional<std::string> ReadScenarioText(const std::string& path) {
  std::wstring wide;
  if (AnsiToWide(path.c_str(), CP_UTF8, wide) != ERROR_SUCCESS) return std::nullopt;
  std::ifstream file(wide.c_str(), std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void PrintTable(HostTable& table) {
  const std::vector<std::string> entries = table.Describe();
  if (entries.empty()) PrintStamped("address table: empty");
  for (const std::string& entry : entries) PrintStamped("address table: " + entry);
}

int Run(const HostOptions& options) {
  std::vector<ScenarioStep> steps;
  if (!options.scenarioFile.empty()) {
    const std::optional<std::string> text = ReadScenarioText(options.scenarioFile);
    if (!text) {
      std::fprintf(stderr, "agent-host: cannot read %s\n", options.scenarioFile.c_str());
      return kExitUsage;
    }
    Result<std::vector<ScenarioStep>> scenario = ParseScenario(*text);
    if (!scenario) {
      std::fprintf(stderr, "agent-host: %s: %s; nothing was run\n", options.scenarioFile.c_str(),
                   scenario.reason().c_str());
      return kExitUsage;
    }
    steps = std::move(*scenario);
  }

  StopSignal stop;
  const RunReport report;
  // The table outlives the module, which keeps reading it.
  HostTable table(options.includeLoopback);
  const DWORD tableResult = table.Rebuild();
  if (tableResult != ERROR_SUCCESS) PrintStamped("cannot read the adapters: " + ErrorMessage(tableResult));
  PrintTable(table);

  ModuleDriver driver;
  std::string error;
  if (!driver.Load(error)) {
    std::fprintf(stderr, "agent-host: %s\n", error.c_str());
    return kExitFailure;
  }
  if (options.scenarioFile.empty()) {
    RunLive(options, driver, table, stop);
  } else {
    PlayScenario(steps, driver, table, stop);
  }
  driver.Finish();
  stop.RunFinished();
  report.Print();
  return driver.failures() == 0 ? 0 : kExitFailure;
}

}  // namespace

int Main() {
  try {
    const Result<HostOptions> parsed = ParseOptions(Utf8Arguments());
    if (!parsed) {
      std::fprintf(stderr, "agent-host: %s\n\n%s", parsed.reason().c_str(), kUsageText);
      return kExitUsage;
    }
    if (parsed->help) {
      std::printf("%s", kUsageText);
      return 0;
    }
    return Run(*parsed);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "agent-host: %s\n", failure.what());
    return kExitFailure;
  }
}

}  // namespace mardonel

int main() { return mardonel::Main(); }
