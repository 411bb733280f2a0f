// A long run of sleep and resume events on a remembered subnet: one history
// line each, and no memory kept from one event to the next.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/registry/setting_names.h"
#include "module/mardonel.h"
#include "stress_env.h"
#include "support/managed_subnets_env.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"

namespace mardonel {

namespace {

constexpr int kEvents = 20000;
constexpr int kWarmUpEvents = 2000;
constexpr std::uint64_t kMemorySlack = 1 << 20;

long CountContaining(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<long>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

TEST(SleepResumeLoad, EveryEventWritesOneLineAndMemoryStaysFlat) {
  ScratchMachineRegistry registry;
  ASSERT_NO_FATAL_FAILURE(registry.Redirect());
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  const CapturedLog log(9, 64 << 20, temp / "load.log");
  TestHostTable table;
  ConnectionScript script;
  const FakeClock clock;
  Mardonel module(FakeConnectionOf(script), clock);
  RememberManagedSubnets("192.168.5.0");
  ASSERT_EQ(module.OnStartup(table.get(), 0), 0u);
  table.Add("192.168.5.20", "255.255.255.0");

  int failed = 0;
  std::uint64_t warm = 0;
  const DWORD start = GetTickCount();
  for (int event = 0; event < kEvents; ++event) {
    // Resume first: the module starts unmanaged, and sleeping then would
    // change nothing and write nothing.
    const DWORD result = event % 2 == 0 ? module.OnOutOfSuspend() : module.OnSleep();
    if (result != 0) ++failed;
    if (event + 1 == kWarmUpEvents) warm = CommittedBytes();
  }
  const std::uint64_t end = CommittedBytes();
  ReportFigure("milliseconds", static_cast<std::int64_t>(GetTickCount() - start));

  const std::vector<std::string> lines = AllHistoryLines(profile.StatesFolder());
  ReportFigure("events", kEvents);
  ReportFigure("history_lines", static_cast<std::int64_t>(lines.size()));
  ReportFigure("committed_bytes_after_warm_up", static_cast<std::int64_t>(warm));
  ReportFigure("committed_bytes_at_end", static_cast<std::int64_t>(end));
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(script.checks, 0) << "the remembered subnet answers without the management point";
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(kEvents));
  EXPECT_EQ(CountContaining(lines, ",2,Out of suspend,"), kEvents / 2);
  EXPECT_EQ(CountContaining(lines, ",1,Sleep,"), kEvents / 2);
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), TextValue("192.168.5.0"));
  ASSERT_NE(warm, 0u) << "the platform reports no commit charge";
  EXPECT_LE(end, warm + kMemorySlack);
}

}  // namespace

}  // namespace mardonel
