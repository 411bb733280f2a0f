#include <gtest/gtest.h>

#include "options.h"

namespace mardonel {

namespace {

TEST(HostOptions, DefaultsAndEveryOption) {
  OptionsResult result = ParseOptions({});
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.options.heartbeatSeconds, 300u);
  EXPECT_EQ(result.options.runSeconds, 0u);
  EXPECT_FALSE(result.options.includeLoopback);
  EXPECT_TRUE(result.options.scenarioFile.empty());

  result = ParseOptions({"--include-loopback", "--heartbeat", "60", "--for", "5"});
  EXPECT_EQ(result.error, "");
  EXPECT_TRUE(result.options.includeLoopback);
  EXPECT_EQ(result.options.heartbeatSeconds, 60u);
  EXPECT_EQ(result.options.runSeconds, 5u);

  result = ParseOptions({"--scenario", "C:\\demo dir\\demo.scenario", "--include-loopback"});
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.options.scenarioFile, "C:\\demo dir\\demo.scenario");

  EXPECT_TRUE(ParseOptions({"--help"}).options.help);
}

TEST(HostOptions, SecondsMustBeWholeAndInRange) {
  for (const char* value : {"0", "-1", "1.5", "abc", "", "31536001", "99999999999", "5s"}) {
    const OptionsResult result = ParseOptions({"--for", value});
    EXPECT_EQ(result.error, std::string("--for wants whole seconds from 1 to 31536000, not '") + value + "'");
  }
  EXPECT_EQ(ParseOptions({"--heartbeat", "31536000"}).options.heartbeatSeconds, 31536000u);
}

TEST(HostOptions, MistakesAreNamed) {
  EXPECT_EQ(ParseOptions({"--heartbeat"}).error, "--heartbeat needs a value");
  EXPECT_EQ(ParseOptions({"--loopback"}).error, "unknown option '--loopback'");
  EXPECT_EQ(ParseOptions({"--scenario", ""}).error, "--scenario needs a file name");
  const std::string combined = "--scenario sets its own heartbeats and length; it takes neither --heartbeat nor --for";
  EXPECT_EQ(ParseOptions({"--scenario", "a", "--for", "5"}).error, combined);
  EXPECT_EQ(ParseOptions({"--heartbeat", "300", "--scenario", "a"}).error, combined);
}

}  // namespace

}  // namespace mardonel
