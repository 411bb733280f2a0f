#include "common/cli/command_line.h"

namespace mardonel {

bool IsHelpWord(std::string_view word) { return word == "--help" || word == "-h" || word == "/?"; }

std::optional<std::int64_t> ParseBoundedWhole(std::string_view text, std::int64_t low, std::int64_t high) {
  // Nine digits cannot overflow, and no bound either program sets is longer.
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

Result<std::string> TakeOptionValue(const std::vector<std::string>& arguments, std::size_t& at) {
  if (at + 1 >= arguments.size()) return Refusal{arguments[at] + " needs a value"};
  return arguments[++at];
}

std::string UnknownOptionError(const std::string& name) { return "unknown option '" + name + "'"; }

}  // namespace mardonel
