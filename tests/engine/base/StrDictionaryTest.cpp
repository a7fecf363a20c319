#include "engine/base/VStrDictionary.h"

#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using archive_test::ByteWriter;

TEST(VStrDictionary, SetReplacesAKeyOfAnyCaseAndKeepsOrder) {
  VStrDictionary d;
  d.Set("ResolutionX", "1280");
  d.Set("VSync", "1");
  d.Set("resolutionx", "1920");
  ASSERT_EQ(d.GetCount(), 2);
  EXPECT_STREQ(d.GetEntry(0)->m_key, "ResolutionX");
  EXPECT_STREQ(d.GetEntry(0)->m_value, "1920");
  EXPECT_STREQ(d.GetEntry(1)->m_key, "VSync");
  EXPECT_STREQ(d.Get("RESOLUTIONX"), "1920");
  EXPECT_EQ(d.Get("Adapter"), nullptr);
  EXPECT_TRUE(d.Exists("vsync"));
  d.Set("Windowed", nullptr);
  EXPECT_STREQ(d.Get("Windowed"), "");
}

TEST(VStrDictionary, TypedReadsKeepTheDefaultForAbsentEmptyOrForeignValues) {
  VStrDictionary d;
  d.Set("Int", "1280");
  d.Set("Float", "0.75");
  d.Set("Bool", "TRUE");
  d.Set("Zero", "0");
  d.Set("Empty", "");
  d.Set("Text", "loud");
  EXPECT_EQ(d.GetInt("int", 5), 1280);
  EXPECT_FLOAT_EQ(d.GetFloat("Float", 1.0f), 0.75f);
  EXPECT_TRUE(d.GetBool("bool", false));
  EXPECT_FALSE(d.GetBool("Zero", true));
  EXPECT_EQ(d.GetInt("Zero", 7), 0);
  for (const char* key : {"Absent", "Empty", "Text"}) {
    EXPECT_EQ(d.GetInt(key, 7), 7) << key;
    EXPECT_FLOAT_EQ(d.GetFloat(key, 0.5f), 0.5f) << key;
    EXPECT_TRUE(d.GetBool(key, true)) << key;
  }
}

TEST(VStrDictionary, DumpPrintsEveryEntryInOrderWithNullForEmpty) {
  VStrDictionary d;
  d.Set("SSAO", "1");
  d.Set("Windowed", "");
  LogCapture log;
  d.Dump();
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"SSAO = 1", "Windowed = NULL"}));
}

TEST(VStrDictionary, DeleteAllEmptiesAndTheDictionaryStaysUsable) {
  VStrDictionary d;
  d.Set("a", "1");
  d.Set("b", "2");
  d.DeleteAll();
  EXPECT_EQ(d.GetCount(), 0);
  EXPECT_EQ(d.Get("a"), nullptr);
  d.Set("c", "3");
  EXPECT_EQ(d.GetCount(), 1);
}

TEST(VStrDictionary, ArchiveFormIsCountThenKeyValueStrings) {
  VStrDictionary d, fresh;
  d.Set("VSync", "1");
  d.Set("Windowed", "");
  archive_test::Bytes written;
  ASSERT_TRUE(archive_test::RoundTripSerialize(d, fresh, &written));
  EXPECT_EQ(written, ByteWriter().I32(2).Str("VSync").Str("1").Str("Windowed").Str("").Get());
  ASSERT_EQ(fresh.GetCount(), 2);
  EXPECT_STREQ(fresh.Get("Windowed"), "");
}

TEST(VStrDictionary, ReadingSetsStoredKeysAndKeepsTheOthers) {
  VStrDictionary d;
  d.Set("ResolutionX", "1280");
  d.Set("Adapter", "0");
  archive_test::Bytes file = ByteWriter().I32(1).Str("resolutionx").Str("1920");
  ASSERT_TRUE(archive_test::LoadBytes(file, [&](VArchive& ar) { ar >> d; }));
  ASSERT_EQ(d.GetCount(), 2);
  EXPECT_STREQ(d.Get("ResolutionX"), "1920");
  EXPECT_STREQ(d.Get("Adapter"), "0");
}

TEST(VStrDictionary, HostileCountsFailTheArchiveAndAddNothing) {
  struct Case { const char* what; archive_test::Bytes bytes; };
  const Case cases[] = {
      {"count beyond the file", ByteWriter().I32(0x7fffffff).Str("a").Str("b")},
      {"count of entries that cannot fit", ByteWriter().I32(2).Str("a").Str("b")},
      {"negative count", ByteWriter().I32(-3)},
      {"string count beyond the file", ByteWriter().I32(1).I32(1000000).Raw("abcd")},
  };
  for (const Case& c : cases) {
    VStrDictionary d;
    d.Set("Keep", "1");
    archive_test::ReadArchive ar(c.bytes);
    *ar >> d;
    EXPECT_FALSE(ar->IsOK()) << c.what;
    EXPECT_EQ(d.GetCount(), 1) << c.what;
  }
}
