// The words the host's and the report's command lines share, read the same
// way and refused with the same texts. Needs nothing of the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/win/result.h"

namespace mardonel {

// "--help", "-h" or "/?".
[[nodiscard]] bool IsHelpWord(std::string_view word);

// A whole number from `low` to `high` written as one to nine digits and
// nothing else (no sign, blank or unit); nothing for any other text.
[[nodiscard]] std::optional<std::int64_t> ParseBoundedWhole(std::string_view text, std::int64_t low, std::int64_t high);

// The value that follows the option `arguments[at]`, with `at` moved onto
// it; "NAME needs a value" when the option is the last word.
[[nodiscard]] Result<std::string> TakeOptionValue(const std::vector<std::string>& arguments, std::size_t& at);

// "unknown option 'NAME'".
[[nodiscard]] std::string UnknownOptionError(const std::string& name);

}  // namespace mardonel
