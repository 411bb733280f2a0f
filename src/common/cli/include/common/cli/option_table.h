// The loop over a program's options: each program gives only its table.
// Needs nothing of the platform.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cli/command_line.h"
#include "common/win/result.h"

namespace mardonel {

// One option of a program: a flag, or a name that takes the word after it as
// its value. `Filled` is what the program fills from its command line.
template <typename Filled>
struct OptionRule {
  std::string_view name;  // "--help" stands for every help word
  bool takesValue;
  // `filled` with the option put in, or why the value is refused.
  Result<Filled> (*take)(Filled filled, const std::string& value);
};

// `arguments` (without the program's name) read word by word through
// `table`, from `filled`. The first refusal ends the reading: a name the
// table lacks ("unknown option 'NAME'"), a name without its value ("NAME
// needs a value"), or the rule's own.
template <typename Filled>
[[nodiscard]] Result<Filled> ReadOptions(const std::vector<std::string>& arguments,
                                         std::span<const OptionRule<Filled>> table, Filled filled = {}) {
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& word = arguments[at];
    const std::string_view name = IsHelpWord(word) ? "--help" : std::string_view(word);
    const auto rule =
        std::find_if(table.begin(), table.end(), [&](const OptionRule<Filled>& each) { return each.name == name; });
    if (rule == table.end()) return Refusal{UnknownOptionError(word)};
    std::string value;
    if (rule->takesValue) {
      Result<std::string> taken = TakeOptionValue(arguments, at);
      if (!taken) return Refusal{taken.reason()};
      value = std::move(*taken);
    }
    Result<Filled> next = rule->take(std::move(filled), value);
    if (!next) return next;
    filled = std::move(*next);
  }
  return filled;
}

}  // namespace mardonel
