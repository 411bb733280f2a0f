#include <gtest/gtest.h>

#include "options.h"

namespace mardonel {

namespace {

HostOptions Taken(const std::vector<std::string>& arguments) {
  const Result<HostOptions> parsed = ParseOptions(arguments);
  if (!parsed) ADD_FAILURE() << parsed.reason();
  return parsed ? *parsed : HostOptions{};
}

std::string Refused(const std::vector<std::string>& arguments) {
  const Result<HostOptions> parsed = ParseOptions(arguments);
  return parsed ? "" : parsed.reason();
}

TEST(HostOptions, DefaultsAndEveryOption) {
  HostOptions options = Taken({});
  EXPECT_EQ(options.heartbeatSeconds, 300u);
  EXPECT_EQ(options.runSeconds, 0u);
  EXPECT_FALSE(options.includeLoopback);
  EXPECT_TRUE(options.scenarioFile.empty());

  options = Taken({"--include-loopback", "--heartbeat", "60", "--for", "5"});
  EXPECT_TRUE(options.includeLoopback);
  EXPECT_EQ(options.heartbeatSeconds, 60u);
  EXPECT_EQ(options.runSeconds, 5u);

  options = Taken({"--scenario", "C:\\demo dir\\demo.scenario", "--include-loopback"});
  EXPECT_EQ(options.scenarioFile, "C:\\demo dir\\demo.scenario");

  EXPECT_TRUE(Taken({"--help"}).help);
}

TEST(HostOptions, SecondsMustBeWholeAndInRange) {
  for (const char* value : {"0", "-1", "1.5", "abc", "", "31536001", "99999999999", "5s"}) {
    EXPECT_EQ(Refused({"--for", value}),
              std::string("--for wants whole seconds from 1 to 31536000, not '") + value + "'");
  }
  EXPECT_EQ(Taken({"--heartbeat", "31536000"}).heartbeatSeconds, 31536000u);
}

TEST(HostOptions, MistakesAreNamed) {
  EXPECT_EQ(Refused({"--heartbeat"}), "--heartbeat needs a value");
  EXPECT_EQ(Refused({"--loopback"}), "unknown option '--loopback'");
  EXPECT_EQ(Refused({"--scenario", ""}), "--scenario needs a file name");
  const std::string combined = "--scenario sets its own heartbeats and length; it takes neither --heartbeat nor --for";
  EXPECT_EQ(Refused({"--scenario", "a", "--for", "5"}), combined);
  EXPECT_EQ(Refused({"--heartbeat", "300", "--scenario", "a"}), combined);
}

}  // namespace

}  // namespace mardonel
