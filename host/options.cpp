#include "host/options.h"

#include <cstdint>

namespace mardonel {

namespace {

// A year is beyond any sensible period.
constexpr unsigned kMaxSeconds = 86400 * 365;

bool ParseSeconds(const std::string& text, unsigned& seconds) {
  if (text.empty() || text.size() > 9) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > kMaxSeconds) return false;
  seconds = static_cast<unsigned>(value);
  return true;
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
    if (name == "--help" || name == "-h" || name == "/?") {
      options.help = true;
      continue;
    }
    if (name == "--include-loopback") {
      options.includeLoopback = true;
      continue;
    }
    if (name != "--scenario" && name != "--heartbeat" && name != "--for") {
      result.error = "unknown option '" + name + "'";
      return result;
    }
    if (i + 1 == arguments.size()) {
      result.error = name + " needs a value";
      return result;
    }
    const std::string& value = arguments[++i];
    if (name == "--scenario") {
      if (value.empty()) {
        result.error = "--scenario needs a file name";
        return result;
      }
      options.scenarioFile = value;
    } else {
      unsigned& target = name == "--heartbeat" ? options.heartbeatSeconds : options.runSeconds;
      if (!ParseSeconds(value, target)) {
        result.error = name + " wants whole seconds from 1 to 31536000, not '" + value + "'";
        return result;
      }
      heartbeatGiven = heartbeatGiven || name == "--heartbeat";
    }
  }
  if (!options.scenarioFile.empty() && (heartbeatGiven || options.runSeconds != 0)) {
    result.error = "--scenario sets its own heartbeats and length; it takes neither --heartbeat nor --for";
  }
  return result;
}

}  // namespace mardonel
