// Ctrl+C reaching agent-host.exe on a console. Disabled here: ctrl_c_run.sh
// runs it under a pseudo-terminal and sends the Ctrl+C itself once the host
// reports "host ready".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "common/registry/setting_names.h"
#include "host_process.h"
#include "support/all_history.h"
#include "support/file_times.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

using testing::HasSubstr;

TEST(AgentHostCtrlC, DISABLED_ShutsDownDestroysAndUnloads) {
  ScopedTempFolder temp;
  ScopedProfileFolder profile(temp.path());
  ScopedRegistryTree settings(kSettingsKey);
  StoreText(settings.key(), "LogFileName", temp / "agent-host.log");

  bool told = false;
  const HostRun run = RunAgentHost("--include-loopback --for 20", [&told](const std::string& output) {
    if (told || output.find("startup ->") == std::string::npos) return;
    told = true;
    std::printf("host ready\n");
    std::fflush(stdout);
  });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  const std::size_t stop = run.output.find("stop requested");
  const std::size_t shutdown = run.output.find("shutdown (end of run) -> 0");
  const std::size_t destroyed = run.output.find("module destroyed");
  const std::size_t unloaded = run.output.find("Mardonel.dll unloaded");
  ASSERT_NE(stop, std::string::npos) << run.output;
  ASSERT_NE(unloaded, std::string::npos) << run.output;
  EXPECT_LT(stop, shutdown);
  EXPECT_LT(shutdown, destroyed);
  EXPECT_LT(destroyed, unloaded);
  EXPECT_THAT(run.output, testing::Not(HasSubstr("run length reached")));
  EXPECT_THAT(AllHistoryText(profile.StatesFolder()), HasSubstr(",Startup,"));
}

}  // namespace

}  // namespace mardonel
