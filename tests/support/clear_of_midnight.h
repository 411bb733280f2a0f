// Keeps a test clear of a date change.
#pragma once

#include <windows.h>

#include <cstdint>

#include "support/file_times.h"
#include "support/test_days.h"

namespace mardonel {

// Returns when neither the UTC nor the local date changes within the next
// 20 seconds, so that the days a test expects are the days the module sees.
inline void WaitClearOfMidnight() {
  constexpr std::uint64_t kMargin = 20 * 10000000ULL;
  for (;;) {
    const std::uint64_t utcLeft = kTestDay - UtcNowFileTime() % kTestDay;
    const std::uint64_t localLeft = kTestDay - LocalNowFileTime() % kTestDay;
    if (utcLeft > kMargin && localLeft > kMargin) return;
    Sleep(1000);
  }
}

}  // namespace mardonel
