// The management point's MPLIST address. Needs nothing of the platform, so it
// also builds natively for fuzzing.
#pragma once

#include <cstddef>

inline constexpr std::size_t kManagementPointUrlSize = 260;  // with the terminator

// Composes "http://" + name + "//sms_MP//.sms_aut?MPLIST" into `out`, which
// is zeroed first. False, with `out` left empty, when the address would not
// fit in `size` characters including the terminator.
bool BuildManagementPointUrl(char* out, std::size_t size, const char* name);
