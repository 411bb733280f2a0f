// agent-host.exe as a user runs it, with history files going to a test folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/log/log_settings.h"
#include "common/registry/setting_names.h"
#include "host_process.h"
#include "support/all_history.h"
#include "support/file_times.h"
#include "support/profile_folder.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

using testing::HasSubstr;
using testing::Not;

class AgentHostRun : public testing::Test {
 protected:
  void SetUp() override { StoreText(settings_.key(), "LogFileName", logFile_); }
  std::string Scenario(const std::string& text) {
    // Beyond ASCII: the host reads its command line as wide text.
    const std::string path = temp_ / "t\xE9st.scenario";
    WriteWholeFile(path, text);
    return "--scenario \"" + path + "\"";
  }
  std::vector<std::string> Records() const { return AllHistoryLines(profile_.StatesFolder()); }
  bool StatesFolderExists() { return GetFileAttributesA(profile_.StatesFolder().c_str()) != INVALID_FILE_ATTRIBUTES; }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  // The settings the module reads and writes back are put back as found; the
  // log goes to the test folder.
  ScopedRegistryTree settings_{kSettingsKey};
  ScopedRegistryTree policy_{PolicyKeyOf(kSettingsKey)};
  const std::string logFile_ = temp_ / "agent-host.log";
};

TEST_F(AgentHostRun, BadScenarioLineIsRefusedBeforeAnyEventRuns) {
  for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
           {"startup\nsleep\nhibernate\nshutdown\n", "line 3: unknown event 'hibernate'"},
           {"# demo\nstartup\nheartbeat +two\n", "line 3: malformed time '+two'"},
           {"startup\nwait soon\n", "line 2: malformed time 'soon'"}}) {
    const HostRun run = RunAgentHost(Scenario(text));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2u) << run.output;
    EXPECT_THAT(run.output, HasSubstr(message));
    EXPECT_THAT(run.output, HasSubstr("nothing was run"));
    EXPECT_THAT(run.output, Not(HasSubstr("loaded")));
    EXPECT_THAT(run.output, Not(HasSubstr("->")));
    EXPECT_FALSE(StatesFolderExists()) << text;
  }
}

TEST_F(AgentHostRun, CommandLineMistakesShowTheUsage) {
  const HostRun run = RunAgentHost("--for 0");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_THAT(run.output, HasSubstr("--for wants whole seconds"));
  EXPECT_THAT(run.output, HasSubstr("Usage: agent-host.exe"));
  EXPECT_EQ(RunAgentHost("--scenario \"" + (temp_ / "missing.scenario") + "\"").exitCode, 2u);
  // Never the ASCII digit the ANSI command line makes of a full-width one.
  const HostRun wide = RunBuiltProgram("agent-host.exe", std::wstring(L"--for \uFF12"));
  EXPECT_EQ(wide.exitCode, 2u);
  EXPECT_THAT(wide.output, HasSubstr("--for wants whole seconds from 1 to 31536000, not '\xEF\xBC\x92'"));
}

TEST_F(AgentHostRun, TimedRunRecordsStartupAndLeavesCleanly) {
  const std::uint64_t before = LocalNowFileTime();
  const HostRun run = RunAgentHost("--include-loopback --for 5");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u) << run.output;

  const std::vector<std::string> records = Records();
  ASSERT_FALSE(records.empty()) << run.output;
  EXPECT_THAT(records[0], HasSubstr(",Startup,"));
  EXPECT_GE(std::stoull(records[0]), before);

  // Shut down, destroyed through slot 0, then unloaded, in that order.
  const std::size_t shutdown = run.output.find("shutdown (end of run) -> 0");
  const std::size_t destroyed = run.output.find("module destroyed");
  const std::size_t unloaded = run.output.find("Mardonel.dll unloaded");
  ASSERT_NE(shutdown, std::string::npos) << run.output;
  ASSERT_NE(destroyed, std::string::npos) << run.output;
  ASSERT_NE(unloaded, std::string::npos) << run.output;
  EXPECT_LT(shutdown, destroyed);
  EXPECT_LT(destroyed, unloaded);
  EXPECT_THAT(run.output, HasSubstr("run length reached"));
  EXPECT_THAT(run.output, HasSubstr("| " + records[0]));
}

TEST_F(AgentHostRun, ScenarioHeartbeatCarriesTheTimeItNames) {
  const std::uint64_t before = LocalNowFileTime();
  const HostRun run = RunAgentHost("--include-loopback " + Scenario("startup\n"
                                                                    "heartbeat +0.5  # within the hour: nothing\n"
                                                                    "heartbeat +3\n"
                                                                    "shutdown\n"));
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  for (const char* line :
       {"line 1: startup -> 0", "line 2: heartbeat +0.5 at ", "line 3: heartbeat +3 at ", "line 4: shutdown -> 0"}) {
    EXPECT_THAT(run.output, HasSubstr(line));
  }

  std::vector<std::string> heartbeats;
  for (const std::string& record : Records()) {
    if (record.find(",Heartbeat,") != std::string::npos) heartbeats.push_back(record);
  }
  ASSERT_EQ(heartbeats.size(), 1u) << run.output;
  const std::uint64_t time = std::stoull(heartbeats[0]);
  const std::uint64_t threeHours = 3 * 36000000000ULL;
  EXPECT_GE(time, before + threeHours);
  EXPECT_LT(time, LocalNowFileTime() + threeHours);
  EXPECT_THAT(run.output, HasSubstr("History files touched by this run"));
  EXPECT_THAT(run.output, HasSubstr("| " + heartbeats[0]));
  // Under Wine the report says where the file lies on the Linux side.
  EXPECT_THAT(run.output, HasSubstr("on Linux: /"));
}

// The file the module writes: the policy's name, expanded, or the default
// one in place of a name the module refuses.
TEST_F(AgentHostRun, ReportNamesTheLogFileTheModuleWrites) {
  const std::string defaultLog = "C:\\temp\\agent-host.log";
  const bool defaultExisted = FileExists(defaultLog);
  SetEnvironmentVariableA("MARDONEL_TEST_LOGS", temp_.path().c_str());
  const struct {
    RawValue policy;
    std::string written;
  } cases[] = {
      {TextValue(temp_ / "policy.log"), temp_ / "policy.log"},
      {{REG_EXPAND_SZ, TextValue("%MARDONEL_TEST_LOGS%\\expanded.log").bytes}, temp_ / "expanded.log"},
      {TextValue("C:\\temp\\Nul.log"), defaultLog},
      {TextValue("\\\\?\\GLOBALROOT\\Device\\Null"), defaultLog},
      {TextValue(temp_ / "q.log:ads"), defaultLog},
      {TextValue(profile_.StatesFolder() + "20261208T.mgt"), defaultLog},
  };
  StoreNumber(policy_.key(), "Debug", 0x19);
  for (const auto& c : cases) {
    StoreRawValue(policy_.key(), "LogFileName", c.policy.type, c.policy.bytes);
    const HostRun run = RunAgentHost("--include-loopback " + Scenario("startup\nshutdown\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const std::vector<std::string> logLines = SplitLines(ReadWholeFile(c.written));
    ASSERT_FALSE(logLines.empty()) << run.output;
    // The host's standard output is in text mode: its lines end with CR LF.
    EXPECT_THAT(run.output, HasSubstr("Log file:\r\n  " + c.written + "\r\n"));
    EXPECT_THAT(run.output, HasSubstr("| " + logLines.back() + "\r\n"));
  }
  SetEnvironmentVariableA("MARDONEL_TEST_LOGS", nullptr);
  if (!defaultExisted) DeleteFileA(defaultLog.c_str());
  EXPECT_FALSE(FileExists(logFile_));
}

}  // namespace

}  // namespace mardonel
