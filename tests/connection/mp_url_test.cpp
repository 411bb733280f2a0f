#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mp_url.h"

namespace mardonel {

namespace {

constexpr char kGuard = '#';

TEST(ManagementPointUrl, ComposesTheMplistAddress) {
  char url[kManagementPointUrlSize];
  ASSERT_TRUE(BuildManagementPointUrl(url, sizeof url, "mp01.corp.example:8080"));
  EXPECT_STREQ(url, "http://mp01.corp.example:8080//sms_MP//.sms_aut?MPLIST");
  ASSERT_TRUE(BuildManagementPointUrl(url, sizeof url, ""));
  EXPECT_STREQ(url, "http:////sms_MP//.sms_aut?MPLIST");
}

TEST(ManagementPointUrl, RefusesNamesThatDoNotFitAndWritesNothingPastTheBuffer) {
  // The prefix and suffix take 32 characters and the terminator one.
  const std::string longest(kManagementPointUrlSize - 33, 'a');
  char buffer[kManagementPointUrlSize + 16];
  std::memset(buffer, kGuard, sizeof buffer);
  ASSERT_TRUE(BuildManagementPointUrl(buffer, kManagementPointUrlSize, longest.c_str()));
  EXPECT_EQ(std::strlen(buffer), kManagementPointUrlSize - 1);
  EXPECT_EQ(buffer[kManagementPointUrlSize], kGuard);

  for (std::size_t length : {kManagementPointUrlSize - 32, kManagementPointUrlSize, std::size_t{300}}) {
    std::memset(buffer, kGuard, sizeof buffer);
    const std::string name(length, 'b');
    EXPECT_FALSE(BuildManagementPointUrl(buffer, kManagementPointUrlSize, name.c_str())) << length;
    EXPECT_STREQ(buffer, "") << length;
    EXPECT_EQ(buffer[kManagementPointUrlSize], kGuard) << length;
  }
}

TEST(ManagementPointUrl, NameTextWithControlCharactersIsNoName) {
  EXPECT_TRUE(IsManagementPointNameText("mp01.corp.example:8080"));
  EXPECT_TRUE(IsManagementPointNameText(""));
  EXPECT_FALSE(IsManagementPointNameText("mp01\r\nforged"));
  EXPECT_FALSE(IsManagementPointNameText("mp01\t"));
  EXPECT_FALSE(IsManagementPointNameText("mp\x7f"));
}

}  // namespace

}  // namespace mardonel
