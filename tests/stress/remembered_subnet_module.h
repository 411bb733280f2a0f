// A started module on 192.168.5.20/24, whose subnet it remembers, writing its
// history and log into a test folder; shared by the fault and bad-input tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "module/mardonel.h"
#include "stress_env.h"
#include "support/captured_log.h"
#include "support/clear_of_midnight.h"
#include "support/file_times.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

class RememberedSubnetModule : public testing::Test {
 protected:
  void SetUp() override {
    WaitClearOfMidnight();
    table_.Add("192.168.5.20", "255.255.255.0");
    module_.addressTable = table_.get();
    module_.connection = FakeConnectionOf(script_);
    module_.managedSubnets = {SubnetOf("192.168.5.0")};
  }

  std::string TodayPath() const { return profile_.StatesFolder() + TodayUtcHistoryName(); }
  std::vector<std::string> TodayLines() const {
    return FileExists(TodayPath()) ? SplitLines(ReadWholeFile(TodayPath())) : std::vector<std::string>();
  }
  std::vector<std::string> LogLines() const { return SplitLines(ReadWholeFile(logPath_)); }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  std::string logPath_ = temp_ / "module.log";
  CapturedLog log_{9, 1 << 20, logPath_};
  TestHostTable table_;
  ConnectionScript script_;
  Mardonel module_;
};

}  // namespace mardonel
