#include <gtest/gtest.h>

#include "scenario.h"

namespace mardonel {

namespace {

constexpr std::int64_t kHour = 36000000000LL;

std::vector<ScenarioStep> Steps(const std::string& text) {
  const Result<std::vector<ScenarioStep>> parsed = ParseScenario(text);
  if (!parsed) ADD_FAILURE() << parsed.reason() << " in " << text;
  return parsed ? *parsed : std::vector<ScenarioStep>{};
}

ScenarioStep OnlyStep(const std::string& text) {
  const std::vector<ScenarioStep> steps = Steps("startup\n" + text + "\n");
  EXPECT_EQ(steps.size(), 2u) << text;
  return steps.size() == 2 ? steps[1] : ScenarioStep{ScenarioEvent::kWait, 0};
}

std::string RefusalOf(const std::string& text) {
  const Result<std::vector<ScenarioStep>> parsed = ParseScenario(text);
  EXPECT_FALSE(parsed) << text;
  return parsed ? "" : parsed.reason();
}

TEST(ScenarioParse, EveryEventKindWithItsLineNumber) {
  const std::vector<ScenarioStep> steps = Steps(
      "# a comment first\n"
      "\n"
      "startup\n"
      "  heartbeat +1.5   # trailing comment\n"
      "heartbeat\n"
      "sleep\n"
      "resume\n"
      "netchange\n"
      "netchange force disconnected\n"
      "wait 2.25\n"
      "shutdown\n");
  ASSERT_EQ(steps.size(), 9u);
  const ScenarioEvent expected[] = {ScenarioEvent::kStartup,   ScenarioEvent::kHeartbeat, ScenarioEvent::kHeartbeat,
                                    ScenarioEvent::kSleep,     ScenarioEvent::kResume,    ScenarioEvent::kNetChange,
                                    ScenarioEvent::kNetChange, ScenarioEvent::kWait,      ScenarioEvent::kShutdown};
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].event, expected[i]) << i;
    EXPECT_EQ(steps[i].lineNumber, static_cast<int>(i) + 3) << i;
  }
  EXPECT_TRUE(steps[1].atOffset);
  EXPECT_EQ(steps[1].offsetUnits, kHour * 3 / 2);
  EXPECT_FALSE(steps[2].atOffset);
  EXPECT_TRUE(steps[5].connected);
  EXPECT_FALSE(steps[5].force);
  EXPECT_FALSE(steps[6].connected);
  EXPECT_TRUE(steps[6].force);
  EXPECT_EQ(steps[7].waitMilliseconds, 2250u);
}

TEST(ScenarioParse, HeartbeatOffsetsAreExact) {
  EXPECT_EQ(OnlyStep("heartbeat +2").offsetUnits, 2 * kHour);
  EXPECT_EQ(OnlyStep("heartbeat +0").offsetUnits, 0);
  EXPECT_EQ(OnlyStep("heartbeat -0.25").offsetUnits, -kHour / 4);
  EXPECT_EQ(OnlyStep("heartbeat +0.000001").offsetUnits, kHour / 1000000);
  EXPECT_EQ(OnlyStep("heartbeat +999999.999999").offsetUnits, 999999 * kHour + 999999 * (kHour / 1000000));
  EXPECT_EQ(OnlyStep("wait 0").waitMilliseconds, 0u);
  EXPECT_EQ(OnlyStep("wait 0.0005").waitMilliseconds, 0u);
  EXPECT_EQ(OnlyStep("wait 90").waitMilliseconds, 90000u);
}

TEST(ScenarioParse, WindowsLineEndsAndTabsAreBlanks) {
  const std::vector<ScenarioStep> steps = Steps("startup\r\n\theartbeat\t+1\r\n\r\nshutdown\r\n");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[1].offsetUnits, kHour);
  EXPECT_EQ(steps[2].lineNumber, 4);
}

TEST(ScenarioParse, UnknownEventIsRefusedWithItsLine) {
  EXPECT_EQ(RefusalOf("startup\nsleep\nhibernate\nshutdown\n"), "line 3: unknown event 'hibernate'");
  EXPECT_EQ(RefusalOf("Startup\n"), "line 1: unknown event 'Startup'");
  EXPECT_EQ(RefusalOf("startup\n# netchange\n\nnetchange now\n"),
            "line 4: 'netchange' takes 'disconnected' and 'force' once each, not 'now'");
  EXPECT_EQ(RefusalOf("startup\nnetchange force force\n"),
            "line 2: 'netchange' takes 'disconnected' and 'force' once each, not 'force'");
  EXPECT_EQ(RefusalOf("startup now\n"), "line 1: 'startup' takes no argument");
}

TEST(ScenarioParse, MalformedTimesAreRefusedWithTheirLine) {
  for (const char* time : {"2", "+", "-", "+1.", "+.5", "+1e3", "+0x10", "+1234567", "+1.1234567", "++1", "+1,5"}) {
    EXPECT_EQ(RefusalOf(std::string("startup\nheartbeat ") + time + "\n"),
              std::string("line 2: malformed time '") + time + "' (want +HOURS or -HOURS, e.g. +2 or +1.5)");
  }
  EXPECT_EQ(RefusalOf("startup\nheartbeat +1 +2\n"), "line 2: 'heartbeat' takes one time at most");
  EXPECT_EQ(RefusalOf("startup\nwait -1\n"), "line 2: malformed time '-1' (want wait SECONDS, e.g. wait 2)");
  EXPECT_EQ(RefusalOf("startup\nwait 1h\n"), "line 2: malformed time '1h' (want wait SECONDS, e.g. wait 2)");
  EXPECT_EQ(RefusalOf("startup\nwait\n"), "line 2: 'wait' takes one time, e.g. wait 2");
  EXPECT_EQ(RefusalOf("startup\nwait 1 2\n"), "line 2: 'wait' takes one time, e.g. wait 2");
}

TEST(ScenarioParse, EventsOutsideStartupToShutdownAreRefused) {
  EXPECT_EQ(RefusalOf("wait 1\nsleep\nstartup\n"), "line 2: 'sleep' before 'startup'");
  EXPECT_EQ(RefusalOf("heartbeat +2\n"), "line 1: 'heartbeat +2' before 'startup'");
  EXPECT_EQ(RefusalOf("startup\nstartup\n"), "line 2: 'startup' while the module is already started");
  EXPECT_EQ(RefusalOf("startup\nshutdown\nnetchange force\n"), "line 3: 'netchange force' before 'startup'");
  EXPECT_EQ(RefusalOf("shutdown\n"), "line 1: 'shutdown' before 'startup'");
  // A restart after a shut-down is what a host does after a service restart.
  EXPECT_EQ(Steps("startup\nshutdown\nstartup\nsleep\n").size(), 4u);
  // Ending without a shut-down is allowed: the host shuts the module down.
  EXPECT_EQ(Steps("startup\nresume\n").size(), 2u);
}

TEST(ScenarioParse, AScenarioWithoutEventsIsRefused) {
  EXPECT_EQ(RefusalOf(""), "the scenario holds no event");
  EXPECT_EQ(RefusalOf("# only a comment\n\n"), "the scenario holds no event");
}

TEST(ScenarioParse, DescriptionsReadBackAsTheSameStep) {
  for (const char* line :
       {"sleep", "resume", "netchange", "netchange disconnected", "netchange force", "netchange disconnected force",
        "heartbeat", "heartbeat +2", "heartbeat +1.5", "heartbeat -0.000001", "wait 3", "wait 0.25"}) {
    const ScenarioStep step = OnlyStep(line);
    EXPECT_EQ(DescribeStep(step), line);
    const ScenarioStep again = OnlyStep(DescribeStep(step));
    EXPECT_EQ(again.event, step.event) << line;
    EXPECT_EQ(again.connected, step.connected) << line;
    EXPECT_EQ(again.force, step.force) << line;
    EXPECT_EQ(again.atOffset, step.atOffset) << line;
    EXPECT_EQ(again.offsetUnits, step.offsetUnits) << line;
    EXPECT_EQ(again.waitMilliseconds, step.waitMilliseconds) << line;
  }
}

}  // namespace

}  // namespace mardonel
