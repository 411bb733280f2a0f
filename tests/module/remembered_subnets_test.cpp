#include "module/remembered_subnets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mardonel {

namespace {

using Texts = std::vector<std::string>;

constexpr std::uint32_t Subnet(std::uint32_t a, std::uint32_t b) { return a | (b << 8); }  // a.b.0.0

TEST(RememberedSubnets, ParseTakesWellFormedSubnetsAndKeepsTheRestAsTheyStand) {
  const struct {
    const char* stored;
    const char* formatted;
    Texts notTaken;
  } cases[] = {
      {"", "", {}},
      {";;10.1.0.0;", "10.1.0.0", {}},
      {"10.1.0.0;garbage;;192.168.5.0", "garbage;10.1.0.0;192.168.5.0", {"garbage"}},
      // Blanks around an entry, as people type a list, are no part of it.
      {" 10.1.0.0;1.2.3", "10.1.0.0;1.2.3.0", {}},
      {"10.1.0.0; 10.2.0.0 ;\t10.3.0.0\t", "10.1.0.0;10.2.0.0;10.3.0.0", {}},
      {"10.1. 0.0;10.1.0.0\r\n", "10.1. 0.0;10.1.0.0\r\n", {"10.1. 0.0", "10.1.0.0\r\n"}},
      {"10.1.0.0,10.2.0.0", "10.1.0.0,10.2.0.0", {"10.1.0.0,10.2.0.0"}},
      {"256.1.1.1;-1.2.3.4;+1.2.3.4", "256.1.1.1;-1.2.3.4;+1.2.3.4", {"256.1.1.1", "-1.2.3.4", "+1.2.3.4"}},
      {"1.2.3.4.5;10.0.0.0/8;10.1/16;1..3", "1.2.3.4.5;1..3;10.0.0.0;10.1.0.0", {"1.2.3.4.5", "1..3"}},
      {"99999.1.1.1;0001.2.3.4", "99999.1.1.1;0001.2.3.4", {"99999.1.1.1", "0001.2.3.4"}},
      {"010.001.0.0;0.0.0.0;255.255.255.255", "10.1.0.0;0.0.0.0;255.255.255.255", {}},
      // Repeats and more than five stay until the next addition.
      {"1.0.0.0;1.0.0.0;2.0.0.0;3.0.0.0;4.0.0.0;5.0.0.0", "1.0.0.0;1.0.0.0;2.0.0.0;3.0.0.0;4.0.0.0;5.0.0.0", {}},
  };
  for (const auto& c : cases) {
    const RememberedSubnets list = RememberedSubnets::Parse(c.stored);
    EXPECT_EQ(list.Format(), c.formatted) << '[' << c.stored << ']';
    EXPECT_EQ(list.NotTaken(), c.notTaken) << '[' << c.stored << ']';
  }
}

TEST(RememberedSubnets, AddKeepsTheFiveNewest) {
  const struct {
    const char* loaded;
    const char* formatted;
    std::uint32_t dropped;  // 0: none
  } cases[] = {
      {"", "10.9.0.0", 0},
      {"10.1.0.0;10.2.0.0;10.3.0.0;10.4.0.0", "10.1.0.0;10.2.0.0;10.3.0.0;10.4.0.0;10.9.0.0", 0},
      {"10.1.0.0;10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0", "10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0;10.9.0.0", Subnet(10, 1)},
      {"10.1.0.0;10.2.0.0;10.3.0.0;10.4.0.0;10.5.0.0;10.6.0.0;10.7.0.0;10.8.0.0",
       "10.5.0.0;10.6.0.0;10.7.0.0;10.8.0.0;10.9.0.0", Subnet(10, 4)},
  };
  for (const auto& c : cases) {
    RememberedSubnets list = RememberedSubnets::Parse(c.loaded);
    EXPECT_FALSE(list.Contains(Subnet(10, 9)));
    EXPECT_EQ(list.Contains(c.dropped), c.dropped != 0);
    list.Add(Subnet(10, 9));
    EXPECT_EQ(list.Format(), c.formatted);
    EXPECT_TRUE(list.Contains(Subnet(10, 9)));
    EXPECT_FALSE(list.Contains(c.dropped));
  }
}

TEST(RememberedSubnets, ContainsComparesWholeSubnets) {
  const RememberedSubnets list = RememberedSubnets::Parse("0.0.0.0;192.168.5.0");
  EXPECT_TRUE(list.Contains(0));
  EXPECT_TRUE(list.Contains(192 | (168 << 8) | (5 << 16)));
  EXPECT_FALSE(list.Contains(192 | (168 << 8) | (6 << 16)));
  EXPECT_FALSE(list.Contains(192 | (168 << 8)));
}

}  // namespace

}  // namespace mardonel
