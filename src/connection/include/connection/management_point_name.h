// Where the management point's name comes from.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace mardonel {

// No name when the local management client knows no management point.
// Failures are thrown: COM failures as ComError, others as other types.
using ManagementPointNameSource = std::function<std::optional<std::wstring>()>;

// The local management client's answer, through WMI. COM must be initialised
// on the thread.
[[nodiscard]] std::optional<std::wstring> QueryManagementPointName();

}  // namespace mardonel
