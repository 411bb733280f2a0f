#include <gtest/gtest.h>

#include "address_words.h"

namespace mardonel {

namespace {

TEST(AddressWords, MaskWordsHoldTheFirstOctetLowest) {
  EXPECT_EQ(DottedWord(MaskWordForPrefix(0)), "0.0.0.0");
  EXPECT_EQ(DottedWord(MaskWordForPrefix(1)), "128.0.0.0");
  EXPECT_EQ(DottedWord(MaskWordForPrefix(8)), "255.0.0.0");
  EXPECT_EQ(DottedWord(MaskWordForPrefix(20)), "255.255.240.0");
  EXPECT_EQ(DottedWord(MaskWordForPrefix(24)), "255.255.255.0");
  EXPECT_EQ(DottedWord(MaskWordForPrefix(31)), "255.255.255.254");
  EXPECT_EQ(DottedWord(MaskWordForPrefix(32)), "255.255.255.255");
  EXPECT_EQ(MaskWordForPrefix(33), 0xFFFFFFFFu);
  EXPECT_EQ(MaskWordForPrefix(24), 0x00FFFFFFu);
  EXPECT_EQ(DottedWord(0x0302010Au), "10.1.2.3");
}

}  // namespace

}  // namespace mardonel
