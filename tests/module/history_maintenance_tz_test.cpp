// The maintenance under a time zone far from UTC. The zone is read when a
// process starts, so the checks run in a child copy of this program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/log/log_settings.h"
#include "module/mardonel.h"
#include "support/captured_log.h"
#include "support/child_run.h"
#include "support/clear_of_midnight.h"
#include "support/file_times.h"
#include "support/folder_entries.h"
#include "support/history_line.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/test_days.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

// Set in the child's environment: the zone's distance from UTC in minutes.
constexpr char kChildBiasVariable[] = "MARDONEL_HISTORY_ZONE_BIAS";

// A States folder of its own holding `names`, with a module to maintain it.
struct Scene {
  explicit Scene(const std::vector<std::string>& names) {
    std::string folder = states;
    CreateDirectoryPath(folder.data());
    for (const std::string& name : names) WriteWholeFile(states + name, "1,1,Startup,x\r\n");
  }
  std::vector<std::string> Maintained() {
    module.MaintainHistoryFolder();
    return FolderEntries(states);
  }

  ScopedTempFolder temp;
  ScopedProfileFolder profile{temp.path()};
  const std::string states = profile.StatesFolder();
  CapturedLog log{kDebugInfo};
  Mardonel module;
};

class ZoneChild : public testing::Test {
 public:
  explicit ZoneChild(int biasMinutes) : biasMinutes_(biasMinutes) {}

  void TestBody() override {
    const auto bias = static_cast<std::int64_t>(LocalNowFileTime() - UtcNowFileTime());
    ASSERT_EQ((bias + (bias < 0 ? -300000000 : 300000000)) / 600000000, biasMinutes_) << "zone not in effect";
    WaitClearOfMidnight();
    const TestDay today = UtcDay(0);
    const TestDay localToday = LocalDay(0);

    {
      Scene scene({UtcDay(-2).name});
      EXPECT_EQ(scene.Maintained(), NamesOf({UtcDay(-2), UtcDay(-1)}));
      EXPECT_EQ(ReadWholeFile(scene.states + UtcDay(-1).name), HistoryLine(UtcDay(-1).midnight, 1, "INITIALISED"));
      EXPECT_EQ(scene.module.WriteStateRecord(RecordReason::kStartup), 0u);
      EXPECT_NE(ReadWholeFile(scene.states + today.name).find(",1,Startup,"), std::string::npos);
    }
    {
      Scene scene({UtcDay(-31).name});
      EXPECT_EQ(scene.Maintained().size(), 31u);
    }
    for (const TestDay& newest : {UtcDay(-32), UtcDay(-1), today, localToday}) {
      Scene scene({newest.name});
      EXPECT_EQ(scene.Maintained(), NamesOf({newest})) << newest.name;
      // Only a file of the local date stops the maintenance before it looks
      // at the gap and logs the last file's day.
      const bool looked = scene.log.Contains("Last file written on");
      EXPECT_EQ(looked, newest.name != localToday.name) << newest.name;
    }
  }

 private:
  int biasMinutes_;
};

[[maybe_unused]] const bool childRegistered = [] {
  char bias[16] = {};
  if (GetEnvironmentVariableA(kChildBiasVariable, bias, sizeof bias) == 0) return false;
  const int minutes = std::atoi(bias);
  testing::RegisterTest("HistoryFolderZoneChild", "MaintainsTheFolder", nullptr, nullptr, __FILE__, __LINE__,
                        [minutes]() -> testing::Test* { return new ZoneChild(minutes); });
  return true;
}();

TEST(HistoryFolderZone, LocalDateApartFromUtcDate) {
  // Ten hours after UTC midnight the date at UTC+14 has moved on; until
  // eleven hours after it the date at UTC-11 still lags behind.
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  const bool ahead = utc.wHour >= 10;
  const std::string zone = ahead ? "Pacific/Kiritimati" : "Pacific/Pago_Pago";
  const int biasMinutes = ahead ? 14 * 60 : -11 * 60;

  EXPECT_TRUE(RunTestsInChild("HistoryFolderZoneChild.*",
                              {"TZ=" + zone, std::string(kChildBiasVariable) + "=" + std::to_string(biasMinutes)}));
}

}  // namespace

}  // namespace mardonel
