#include "stress_env.h"

#include <psapi.h>

#include <cstdio>
#include <cstring>

namespace mardonel {

std::uint64_t CommittedBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PagefileUsage;
}

void ReportFigure(const char* name, std::int64_t value) {
  std::printf("[ figure   ] %s = %lld\n", name, static_cast<long long>(value));
  std::fflush(stdout);
  testing::Test::RecordProperty(name, std::to_string(value));
}

}  // namespace mardonel
