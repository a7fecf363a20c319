// The typed wide formatter.
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VFormatWideTest, Conversions) {
  const std::wstring name = L"Isla \u00e9";
  struct Case {
    std::wstring got;
    std::wstring expected;
  };
  const Case cases[] = {
      {VFormatW(L"%s has %d ships", name, 3), L"Isla \u00e9 has 3 ships"},
      {VFormatW(L"%s/%s", "narrow \xc3\xa9", L"wide"), L"narrow \u00e9/wide"},
      {VFormatW(L"%i|%5d|%-5d|%05d|%+d", -7, 42, 42, 42, 42), L"-7|   42|42   |00042|+42"},
      {VFormatW(L"%u %x %#x", -1, 255, 255), L"4294967295 ff 0xff"},
      {VFormatW(L"%f|%.2f|%8.3f|%.0f", 1.5, 2.345f, 3.14159, 2.5), L"1.500000|2.35|   3.142|2"},
      {VFormatW(L"%c%c", (int)L'\u00e9', 65), L"\u00e9A"},
      {VFormatW(L"%ld %lld %I64d %ls %hs", 1L, 2LL, 3LL, L"w", "n"), L"1 2 3 w n"},
      {VFormatW(L"%u items", std::wstring(L"abc").size()), L"3 items"},
      {VFormatW(L"[%6s][%-6s][%.3s]", L"ab", L"ab", L"abcdef"), L"[    ab][ab    ][abc]"},
      {VFormatW(L"100%% sure: %d", 1), L"100% sure: 1"},
      // Numbers of the other kind convert; a text for a number stays as written.
      {VFormatW(L"%d %f %s %s", 2.9, 3, 4, 0.5), L"2 3.000000 4 0.5"},
      {VFormatW(L"%d!", L"text"), L"%d!"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.got);
}

TEST(VFormatWideTest, WithoutArgumentsOnlyDoublePercentChanges) {
  EXPECT_EQ(L"50% off %s %d 100%", VFormatWide(L"50% off %s %d 100%%", nullptr, 0));
  EXPECT_EQ(L"%", VFormatW(L"%"));
  EXPECT_EQ(L"", VFormatWide(nullptr, nullptr, 0));
}

TEST(VFormatWideTest, UnknownAndUnmatchedConversionsStayText) {
  EXPECT_EQ(L"%q 5 %d %s", VFormatW(L"%q %d %d %s", 5));
  EXPECT_EQ(L"end 1 %", VFormatW(L"end %d %", 1));
  EXPECT_EQ(L"1 %5.2", VFormatW(L"%d %5.2", 1));
  EXPECT_EQ(L"(null)", VFormatW(L"%s", static_cast<const wchar_t*>(nullptr)));
}

TEST(VFormatWideTest, LongOutputHasNoLimit) {
  std::wstring big(100000, L'x');
  std::wstring out = VFormatW(L"<%s>%d", big, 7);
  EXPECT_EQ(100003u, out.size());
  EXPECT_EQ(L"x>7", out.substr(out.size() - 3));
  // An absurd width is capped rather than allocated.
  EXPECT_GE(5000u, VFormatW(L"%999999999d", 1).size());
}

}  // namespace
