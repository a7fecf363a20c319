// Conversions between 8-bit, UTF-8 and wide text.
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VTextConversionTest, NarrowToWideReadsUtf8WithLatin1Fallback) {
  struct Case {
    const char* in;
    std::wstring out;
  };
  const Case cases[] = {
      {"plain", L"plain"},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x9a\xa2", L"caf\u00e9 \u20ac \U0001F6A2"},
      {"caf\xe9", L"caf\u00e9"},                   // Latin-1 byte alone
      {"\xe2\x82" "A", L"\u00e2\u0082A"},         // cut sequence: each byte on its own
      {"\xc0\x80", L"\u00c0\u0080"},               // overlong NUL is not UTF-8
      {"\xed\xa0\x80", L"\u00ed\u00a0\u0080"},     // encoded surrogate
      {"\xe9\xc3\xa9", L"\u00e9\u00e9"},           // fallback, then a valid sequence
      {"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(c.out, VNarrowToWide(c.in));
  }
  EXPECT_EQ(L"", VNarrowToWide(nullptr));
}

TEST(VTextConversionTest, WideToNarrowBlanksWhatOneByteCannotHold) {
  EXPECT_EQ("A\xe9\xff  z", VWideToNarrow(L"A\u00e9\u00ff\u0100\u20acz"));
  EXPECT_EQ("", VWideToNarrow(nullptr));
}

TEST(VTextConversionTest, Utf8RoundTripAndReplacement) {
  const std::wstring text = L"Gr\u00fc\u00dfe \u4e16\u754c \U0001F6A2";
  std::string utf8 = VWideToUTF8(text.c_str());
  EXPECT_EQ("Gr\xc3\xbc\xc3\x9f" "e \xe4\xb8\x96\xe7\x95\x8c \xf0\x9f\x9a\xa2", utf8);
  EXPECT_EQ(text, VUTF8ToWide(utf8.c_str()));
  EXPECT_TRUE(VIsValidUTF8(utf8.data(), utf8.size()));

  // wchar_t holds values that are no characters: they become U+FFFD.
  const wchar_t bad[] = {L'a', (wchar_t)0xD800, (wchar_t)0x110000, L'b', 0};
  EXPECT_EQ("a\xef\xbf\xbd\xef\xbf\xbd" "b", VWideToUTF8(bad));

  // One replacement per broken sequence, valid text around it survives.
  EXPECT_EQ(L"x\uFFFDy\uFFFD\u00e9", VUTF8ToWide("x\xe2\x82y\x80\x80\xc3\xa9"));
  EXPECT_FALSE(VIsValidUTF8("x\xe2\x82y", 4));
  EXPECT_TRUE(VIsValidUTF8(nullptr, 0));
  EXPECT_FALSE(VIsValidUTF8(nullptr, 3));
  EXPECT_EQ("", VWideToUTF8(nullptr));
  EXPECT_EQ(L"", VUTF8ToWide(nullptr));
}

}  // namespace
