// A number that an administrator stored as text where the setting is a
// 32-bit number. Needs nothing of the platform, so it also builds natively
// for fuzzing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mardonel {

// A whole decimal number, or "0x" (any case) and hexadecimal digits, with
// blanks (spaces, tabs) allowed around it; nothing when the text is anything
// else or the number does not fit in 32 bits.
[[nodiscard]] std::optional<std::uint32_t> ParseNumberText(std::string_view text);

}  // namespace mardonel
