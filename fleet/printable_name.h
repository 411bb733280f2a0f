// A file name as the fleet prints it and keeps it in fleet_intake: any
// bytes a folder can hold, written reversibly as UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace mardonel::fleet {

// UTF-8 as it is, but a backslash doubled and each control character or
// byte that is not UTF-8 as \xNN. Names without those read as they are.
[[nodiscard]] std::string PrintableName(std::string_view bytes);

}  // namespace mardonel::fleet
