// The machine's clock, which alone follows the zone of the process: Wine
// reads TZ only when a process starts, so it is checked in a child.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "module/clock.h"
#include "support/child_run.h"
#include "support/fake_clock.h"
#include "support/file_times.h"

namespace mardonel {

namespace {

TEST(SystemClockInZone, Child) {
  if (!IsChildRun()) GTEST_SKIP() << "runs in a child process of SystemClock";
  const Clock& clock = SystemClock();
  EXPECT_EQ(clock.ToLocal(UtcInstant(FileTimeUnits(kWorkedExampleTime))),
            LocalReading(FileTimeUnits(134410545425000000ULL)));
  EXPECT_EQ(clock.ToLocal(UtcInstant()), LocalReading(FileTimeUnits(324000000000ULL)));

  FILETIME before;
  GetSystemTimeAsFileTime(&before);
  const UtcInstant now = clock.UtcNow();
  FILETIME after;
  GetSystemTimeAsFileTime(&after);
  EXPECT_GE(now, TimePointOf<UtcClock>(before));
  EXPECT_LE(now, TimePointOf<UtcClock>(after));
}

TEST(SystemClock, ConvertsWithTheZoneOfTheProcessNineHoursEast) {
  EXPECT_TRUE(RunTestsInChild("SystemClockInZone.Child", {"TZ=Asia/Tokyo"}));
}

}  // namespace

}  // namespace mardonel
