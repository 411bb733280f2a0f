// The content hash the intake keeps of each file taken.
#pragma once

#include <string>
#include <string_view>

namespace mardonel::fleet {

// SHA-256 of `bytes` in 64 lowercase hex digits.
[[nodiscard]] std::string Sha256Hex(std::string_view bytes);

}  // namespace mardonel::fleet
