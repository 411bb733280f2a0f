// The management point's MPLIST address. Needs nothing of the platform, so it
// also builds natively for fuzzing.
#pragma once

#include <cstddef>

namespace mardonel {

inline constexpr std::size_t kManagementPointUrlSize = 260;  // with the terminator

// Composes "http://" + name + "//sms_MP//.sms_aut?MPLIST" into `out`, which
// is zeroed first. False, with `out` left empty, when the address would not
// fit in `size` characters including the terminator.
[[nodiscard]] bool BuildManagementPointUrl(char* out, std::size_t size, const char* name);

// False when the name holds a control character: such a name is no host
// name, and written into a log line it would forge lines of its own.
[[nodiscard]] bool IsManagementPointNameText(const char* name);

}  // namespace mardonel
