#include <gtest/gtest.h>

#include <string>

#include "common/win/text_conversion.h"

namespace mardonel {

namespace {

TEST(TextConversion, RoundTripsAndReportsARefusedCodePage) {
  std::string ansi = "before";
  std::wstring wide = L"before";
  EXPECT_EQ(WideToAnsi(L"root\\cimv2", CP_ACP, ansi), 0u);
  EXPECT_EQ(ansi, "root\\cimv2");
  EXPECT_EQ(AnsiToWide("Invalid namespace", CP_THREAD_ACP, wide), 0u);
  EXPECT_EQ(wide, L"Invalid namespace");
  EXPECT_EQ(WideToAnsi(L"", CP_ACP, ansi), 0u);
  EXPECT_EQ(ansi, "");

  ansi = "kept";
  wide = L"kept";
  EXPECT_EQ(WideToAnsi(L"text", 54321, ansi), 87u);
  EXPECT_EQ(AnsiToWide("text", 54321, wide), 87u);
  EXPECT_EQ(ansi, "kept");
  EXPECT_EQ(wide, L"kept");
  EXPECT_EQ(WideToAnsi(nullptr, CP_ACP, ansi), 0u);
  EXPECT_EQ(AnsiToWide(nullptr, CP_ACP, wide), 0u);
  EXPECT_EQ(ansi, "");
  EXPECT_EQ(wide, L"");

  // Windows-1252 has no place for a Greek letter: refused, or its best fit.
  EXPECT_EQ(WideToAnsi(L"\u03b1", 1252, ansi, Unmapped::kRefused), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(ansi, "");
  EXPECT_EQ(WideToAnsi(L"\u03b1", 1252, ansi), 0u);
  EXPECT_EQ(ansi, "a");
  EXPECT_EQ(WideToAnsi(L"\u03b1", CP_UTF8, ansi, Unmapped::kRefused), 0u);
  EXPECT_EQ(ansi, "\xce\xb1");
}

}  // namespace

}  // namespace mardonel
