#include "dotted_address.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace mardonel {

namespace {

std::uint32_t Octets(std::uint32_t first, std::uint32_t second, std::uint32_t third, std::uint32_t fourth) {
  return first | (second << 8) | (third << 16) | (fourth << 24);
}

TEST(ParseDottedAddress, FirstOctetIsTheLeastSignificantByte) {
  EXPECT_EQ(ParseDottedAddress("10.20.30.40"), 0x281E140Au);
  EXPECT_EQ(ParseDottedAddress("255.255.255.0"), 0x00FFFFFFu);
}

TEST(ParseDottedAddress, TakesWhatItCanAndStopsAtTheFirstForeignCharacter) {
  struct Case {
    const char* text;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"10.1", Octets(10, 1, 0, 0)},
      {"1.2.3.4.5", Octets(1, 2, 3, 4)},
      {"256.1.1.1", Octets(0, 1, 1, 1)},
      {"300.511.2.1", Octets(44, 255, 2, 1)},
      {"10.0.0.0/8", Octets(10, 0, 0, 0)},
      {" 10.1.2.3", 0},
      {"", 0},
      {"1..3.4", Octets(1, 0, 3, 4)},
      {"10.1.", Octets(10, 1, 0, 0)},
      {"192.168.5.x", Octets(192, 168, 5, 0)},
      {"010.001.2.3", Octets(10, 1, 2, 3)},
      {"-1.2.3.4", 0},
      {"10.1.0.0;10.2.0.0", Octets(10, 1, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDottedAddress(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(ParseDottedAddress(nullptr), 0u);
}

TEST(IsWellFormedSubnet, OneToFourNumbersFrom0To255AndAPrefixLength) {
  for (const char* text : {"0.0.0.0", "255.255.255.255", "10.1.0.0", "010.001.0.0", "192.168.5.0", "10.1", "10",
                           "1.2.3", "10.0.0.0/8", "10.1/16", "0.0.0.0/0", "1.2.3.4/32"}) {
    EXPECT_TRUE(IsWellFormedSubnet(text)) << '"' << text << '"';
  }
  const char* const refused[] = {"",       "garbage",      " 10.1.0.0",  "10.1.0.0 ",    "1.2.3.4.5",  "1..3.4",
                                 "1.2.3.", "256.1.1.1",    "0001.2.3.4", "-1.2.3.4",     "10.0.0.0/",  "10.0.0.0/33",
                                 "/8",     "10.0.0.0/8/8", "1.2.3.4;",   "10.0.0.0/008", "1.2.3.\xB9", "1,2,3,4"};
  for (const char* text : refused) {
    EXPECT_FALSE(IsWellFormedSubnet(text)) << '"' << text << '"';
  }
  EXPECT_FALSE(IsWellFormedSubnet(nullptr));
}

TEST(FormatDottedAddress, WellFormedTextsComeBackUnchanged) {
  for (const char* text : {"0.0.0.0", "255.255.255.255", "192.168.5.0", "10.1.0.0", "1.22.133.4", "127.0.0.1"}) {
    char buffer[20];
    EXPECT_STREQ(FormatDottedAddress(buffer, sizeof buffer, ParseDottedAddress(text)), text);
  }
  EXPECT_STREQ(FormatDottedAddress(nullptr, 0, 0), "0.0.0.0");
  EXPECT_STREQ(FormatDottedAddress(nullptr, 0, 0x281E140Au), "10.20.30.40");
}

TEST(FormatDottedAddress, WithoutBufferTwoResultsStayValidAtATime) {
  char* first = FormatDottedAddress(nullptr, 0, Octets(10, 1, 0, 0));
  char* second = FormatDottedAddress(nullptr, 0, Octets(10, 2, 0, 0));
  EXPECT_NE(first, second);
  EXPECT_STREQ(first, "10.1.0.0");
  EXPECT_STREQ(second, "10.2.0.0");
  char* third = FormatDottedAddress(nullptr, 0, Octets(10, 3, 0, 0));
  EXPECT_EQ(third, first);
  EXPECT_STREQ(second, "10.2.0.0");
}

TEST(FormatDottedAddress, NeverWritesPastTheGivenSize) {
  char area[16];
  std::memset(area, 'X', sizeof area);
  EXPECT_EQ(FormatDottedAddress(area, 8, 0xFFFFFFFFu), area);
  EXPECT_STREQ(area, "255.255");
  EXPECT_EQ(std::string(area + 8, 8), std::string(8, 'X'));
}

}  // namespace

}  // namespace mardonel
