// A module started on 192.168.5.20/24, whose subnet it remembers, then put
// to sleep: unmanaged, with its history folder chain removed, writing its
// history and log into a test folder; shared by the fault and bad-input
// tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "module/mardonel.h"
#include "stress_env.h"
#include "support/captured_log.h"
#include "support/file_times.h"
#include "support/managed_subnets_env.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

class RememberedSubnetModule : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    RememberManagedSubnets("192.168.5.0");
    table_.Add("192.168.5.20", "255.255.255.0");
    ASSERT_EQ(module_.OnStartup(table_.get(), 0), 0u);
    ASSERT_EQ(module_.OnSleep(), 0u);
    RemoveDirectoryTree((temp_ / "Application Data").c_str());
  }

  std::string TodayPath() const { return profile_.StatesFolder() + "20261206T.mgt"; }  // the clock's UTC day
  std::vector<std::string> TodayLines() const {
    return FileExists(TodayPath()) ? SplitLines(ReadWholeFile(TodayPath())) : std::vector<std::string>();
  }
  std::vector<std::string> LogLines() const { return SplitLines(ReadWholeFile(logPath_)); }

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  std::string logPath_ = temp_ / "module.log";
  CapturedLog log_{9, 1 << 20, logPath_};
  TestHostTable table_;
  ConnectionScript script_;
  FakeClock clock_;
  Mardonel module_{FakeConnectionOf(script_), clock_};
};

}  // namespace mardonel
