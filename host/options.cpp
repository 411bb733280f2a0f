#include "options.h"

#include <cstdint>
#include <optional>

#include "common/cli/command_line.h"

namespace mardonel {

namespace {

// A year is beyond any sensible period.
constexpr unsigned kMaxSeconds = 86400 * 365;

std::string SecondsError(const std::string& name, const std::string& value) {
  return name + " wants whole seconds from 1 to 31536000, not '" + value + "'";
}

}  // namespace

const char kUsageText[] =
    "Usage: agent-host.exe [--include-loopback] [--heartbeat SECONDS] [--for SECONDS]\n"
    "       agent-host.exe [--include-loopback] --scenario FILE\n"
    "\n"
    "Loads Mardonel.dll from the program's folder and drives it as the agent does.\n"
    "  --scenario FILE      play the events of FILE instead of the machine's own\n"
    "  --heartbeat SECONDS  heartbeat period (default 300)\n"
    "  --for SECONDS        end the run by itself after SECONDS\n"
    "  --include-loopback   keep loopback addresses in the address table\n"
    "  --help               show this text\n"
    "Ctrl+C or closing the console shuts the module down and ends the run.\n";

OptionsResult ParseOptions(const std::vector<std::string>& arguments) {
  OptionsResult result;
  HostOptions& options = result.options;
  bool heartbeatGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (IsHelpWord(name)) {
      options.help = true;
      continue;
    }
    if (name == "--include-loopback") {
      options.includeLoopback = true;
      continue;
    }
    if (name != "--scenario" && name != "--heartbeat" && name != "--for") {
      result.error = UnknownOptionError(name);
      return result;
    }
    const std::optional<std::string> taken = TakeOptionValue(arguments, i, result.error);
    if (!taken) return result;
    const std::string& value = *taken;
    if (name == "--scenario") {
      if (value.empty()) {
        result.error = "--scenario needs a file name";
        return result;
      }
      options.scenarioFile = value;
    } else {
      const std::optional<std::int64_t> seconds = ParseBoundedWhole(value, 1, kMaxSeconds);
      if (!seconds) {
        result.error = SecondsError(name, value);
        return result;
      }
      (name == "--heartbeat" ? options.heartbeatSeconds : options.runSeconds) = static_cast<unsigned>(*seconds);
      heartbeatGiven = heartbeatGiven || name == "--heartbeat";
    }
  }
  if (!options.scenarioFile.empty() && (heartbeatGiven || options.runSeconds != 0)) {
    result.error = "--scenario sets its own heartbeats and length; it takes neither --heartbeat nor --for";
  }
  return result;
}

}  // namespace mardonel
