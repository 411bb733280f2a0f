#include "options.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "common/cli/command_line.h"
#include "common/cli/option_table.h"

namespace mardonel {

namespace {

// A year is beyond any sensible period.
constexpr unsigned kMaxSeconds = 86400 * 365;

// The options with what the rules between them need.
struct HostCommandLine {
  HostOptions options;
  bool heartbeatGiven = false;
};

Result<HostCommandLine> Seconds(HostCommandLine line, const std::string& name, const std::string& value,
                                unsigned HostOptions::*field) {
  const std::optional<std::int64_t> seconds = ParseBoundedWhole(value, 1, kMaxSeconds);
  if (!seconds) return Refusal{name + " wants whole seconds from 1 to 31536000, not '" + value + "'"};
  line.options.*field = static_cast<unsigned>(*seconds);
  return line;
}

const OptionRule<HostCommandLine> kHostOptions[] = {
    {"--help", false,
     [](HostCommandLine line, const std::string&) -> Result<HostCommandLine> {
       line.options.help = true;
       return line;
     }},
    {"--include-loopback", false,
     [](HostCommandLine line, const std::string&) -> Result<HostCommandLine> {
       line.options.includeLoopback = true;
       return line;
     }},
    {"--scenario", true,
     [](HostCommandLine line, const std::string& value) -> Result<HostCommandLine> {
       if (value.empty()) return Refusal{"--scenario needs a file name"};
       line.options.scenarioFile = value;
       return line;
     }},
    {"--heartbeat", true,
     [](HostCommandLine line, const std::string& value) {
       line.heartbeatGiven = true;
       return Seconds(std::move(line), "--heartbeat", value, &HostOptions::heartbeatSeconds);
     }},
    {"--for", true,
     [](HostCommandLine line, const std::string& value) {
       return Seconds(std::move(line), "--for", value, &HostOptions::runSeconds);
     }},
};

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

Result<HostOptions> ParseOptions(const std::vector<std::string>& arguments) {
  const Result<HostCommandLine> read = ReadOptions<HostCommandLine>(arguments, kHostOptions);
  if (!read) return Refusal{read.reason()};
  const HostOptions& options = read->options;
  if (!options.scenarioFile.empty() && (read->heartbeatGiven || options.runSeconds != 0)) {
    return Refusal{"--scenario sets its own heartbeats and length; it takes neither --heartbeat nor --for"};
  }
  return options;
}

}  // namespace mardonel
