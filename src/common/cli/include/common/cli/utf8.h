// UTF-8 as the report's CSV and the fleet's file names need it. Needs
// nothing of the platform.
#pragma once

#include <cstddef>
#include <string_view>

namespace mardonel {

// The bytes of the valid UTF-8 sequence at `at` in `text` (no overlong form,
// surrogate or code point past U+10FFFF); 0 when there is none.
[[nodiscard]] std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) noexcept;

}  // namespace mardonel
