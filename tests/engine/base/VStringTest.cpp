#include "engine/base/VHashString.h"
#include "engine/base/VString.h"

#include <gtest/gtest.h>

#include <map>

TEST(VString, NumericParseTakesLeadingDecimalAndGivesZeroForText) {
  EXPECT_EQ(VString::NumericParse("1280"), 1280);
  EXPECT_EQ(VString::NumericParse("720x"), 720);
  EXPECT_EQ(VString::NumericParse("  -5"), -5);
  EXPECT_EQ(VString::NumericParse("abc"), 0);
  EXPECT_EQ(VString::NumericParse(""), 0);
  EXPECT_EQ(VString::NumericParse(nullptr), 0);
  // Saturates rather than wrapping into a nonsense value.
  EXPECT_EQ(VString::NumericParse("99999999999"), 2147483647);
}

TEST(VString, CompareWithAndWithoutCase) {
  VString s("World");
  EXPECT_EQ(s.Compare("World"), 0);
  EXPECT_NE(s.Compare("world"), 0);
  EXPECT_EQ(s.CompareNoCase("wORLD"), 0);
  EXPECT_LT(s.CompareNoCase("worlds"), 0);
  EXPECT_EQ(VString().Compare(nullptr), 0);
  EXPECT_EQ(VStringICompare(nullptr, ""), 0);
  EXPECT_EQ(VStringICompareN("ShipA", "shipB", 4), 0);
}

TEST(VString, FindAndContains) {
  VString s("scenes\\world01\\World.vscene");
  EXPECT_EQ(s.Find("world"), 7);
  EXPECT_EQ(s.Find("World"), 15);
  EXPECT_EQ(s.Find("world", 8), -1);
  EXPECT_EQ(s.FindNoCase("WORLD", 8), 15);
  EXPECT_EQ(s.FindNoCase("nothere"), -1);
  EXPECT_TRUE(s.Contains(".vscene"));
  EXPECT_FALSE(s.Contains("-sea"));
  EXPECT_EQ(s.Find(nullptr), -1);
  EXPECT_EQ(s.Find("w", 1000), -1);
  EXPECT_EQ(s.Find("", 3), 3);
  EXPECT_TRUE(s.StartsWith("scenes"));
  EXPECT_TRUE(s.EndsWith(".vscene"));
  EXPECT_FALSE(VString("a").EndsWith("ba"));
}

TEST(VString, ReplaceAllReplacesEveryOccurrenceAndCountsThem) {
  VString s("anim_idle,anim_walk");
  EXPECT_EQ(s.ReplaceAll("anim", "vTransition"), 2);
  EXPECT_EQ(s, "vTransition_idle,vTransition_walk");
  // A replacement that contains the pattern must not be rescanned.
  VString t("aa");
  EXPECT_EQ(t.ReplaceAll("a", "aa"), 2);
  EXPECT_EQ(t, "aaaa");
  EXPECT_EQ(t.ReplaceAll("", "x"), 0);
  EXPECT_EQ(t.ReplaceAll("a", nullptr), 4);
  EXPECT_TRUE(t.IsEmpty());
}

TEST(VString, FormatMayUseItsOwnText) {
  VString s;
  EXPECT_EQ(s.Format("%s_%d.model", "Ship", 3), 12);
  EXPECT_EQ(s, "Ship_3.model");
  s.Format("%s/%s", s.AsChar(), s.AsChar());
  EXPECT_EQ(s, "Ship_3.model/Ship_3.model");
  std::string longText(5000, 'x');
  s.Format("%s!", longText.c_str());
  EXPECT_EQ(s.GetLength(), 5001);
}

TEST(VString, SlicesAndCaseAndTrim) {
  VString s("  Hello World \t\n");
  s.TrimWhitespace();
  EXPECT_EQ(s, "Hello World");
  EXPECT_EQ(s.Left(5), "Hello");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Left(100), "Hello World");
  EXPECT_EQ(s.Mid(6), "World");
  EXPECT_EQ(s.Mid(6, 2), "Wo");
  EXPECT_EQ(s.Mid(50), "");
  s.ToUpper();
  EXPECT_EQ(s, "HELLO WORLD");
  s.ToLower();
  EXPECT_EQ(s, "hello world");
}

TEST(VString, OrdersAsAMapKey) {
  std::map<VString, int> m;
  m["b"] = 2;
  m["a"] = 1;
  m["B"] = 3;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m.begin()->first, "B");  // byte order: upper case first
  EXPECT_EQ(m["a"], 1);
}

TEST(VString, TypedParsesAcceptOnlyTheirKind) {
  struct BoolCase { const char* text; bool ok; bool value; };
  for (const BoolCase& c : {BoolCase{"TRUE", true, true}, {"true", true, true}, {"1", true, true},
                            {"FaLsE", true, false}, {"0", true, false}, {" 1 ", true, true},
                            {"yes", false, false}, {"2", false, false}, {"", false, false}, {nullptr, false, false}}) {
    bool v = !c.value;
    EXPECT_EQ(VString::ParseBool(c.text, v), c.ok) << (c.text ? c.text : "null");
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }

  struct IntCase { const char* text; bool ok; int value; };
  for (const IntCase& c : {IntCase{"42", true, 42}, {"-7", true, -7}, {"+7", true, 7}, {" 12 ", true, 12},
                           {"12abc", false, 0}, {"1.5", false, 0}, {"", false, 0}, {"+-1", false, 0},
                           {"2147483648", false, 0}, {"-2147483648", true, INT32_MIN}}) {
    int v = 99;
    EXPECT_EQ(VString::ParseInt(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 99) << c.text;
  }

  struct FloatCase { const char* text; bool ok; float value; };
  for (const FloatCase& c : {FloatCase{"0.5", true, 0.5f}, {"-2", true, -2.0f}, {".25", true, 0.25f},
                             {"1e3", true, 1000.0f}, {"1,5", false, 0}, {"nan", false, 0}, {"inf", false, 0},
                             {"1e99", false, 0}, {"x", false, 0}}) {
    float v = 99;
    EXPECT_EQ(VString::ParseFloat(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 99.0f) << c.text;
  }
}

TEST(VHashString, HashFollowsTheTextAndKeysMaps) {
  VHashString a("Cursors/MouseCursorDefault");
  VHashString b;
  b.SetString("Cursors/MouseCursorDefault");
  EXPECT_EQ(a.GetHash(), b.GetHash());
  EXPECT_TRUE(a == b);
  EXPECT_NE(a.GetHash(), VHashString("cursors/mousecursordefault").GetHash());
  // FNV-1a reference values.
  EXPECT_EQ(VHashString::Hash(""), 2166136261u);
  EXPECT_EQ(VHashString::Hash("a"), 0xe40c292cu);
  EXPECT_EQ(VHashString::Hash(nullptr), VHashString::Hash(""));
  std::map<VHashString, int> m{{VHashString("High"), 2}, {VHashString("Low"), 0}};
  EXPECT_EQ(m[VHashString("Low")], 0);
  EXPECT_EQ(m[VHashString("High")], 2);
}
