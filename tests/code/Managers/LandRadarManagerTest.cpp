// The land radar's saved list goes through the saved game unchanged.
#include "support/ArchiveRoundTrip.h"

#include "Managers/LandRadarManager.h"

#include <gtest/gtest.h>

namespace {

using archive_test::ByteWriter;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

class LandRadarManagerBlock : public ::testing::Test {
 protected:
  void TearDown() override { LandRadarManager::CleanInstance(); }
  LandRadarManager& Radar() { return *LandRadarManager::GetInstance(); }
};

TEST_F(LandRadarManagerBlock, TheSavedListReadsBackAsWritten) {
  Radar().GetSavedList() = {7, -3, 2000000000};
  const auto bytes = SaveBytes([&](VArchive& ar) { Radar().SerializeX(ar); });
  Radar().GetSavedList() = {1};
  ASSERT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { EXPECT_TRUE(Radar().SerializeX(ar)); }));
  EXPECT_EQ(Radar().GetSavedList(), (std::vector<int32_t>{7, -3, 2000000000}));
  EXPECT_EQ(SaveBytes([&](VArchive& ar) { Radar().SerializeX(ar); }), bytes);
}

TEST_F(LandRadarManagerBlock, AnOldOrDamagedBlockKeepsTheList) {
  struct Case {
    const char* what;
    ByteWriter block;
    bool ok;
  };
  Case cases[] = {
      {"version 0 carries no list", ByteWriter().Str("ARCH").U8(0).Str("EOA"), true},
      {"a length beyond the bytes left", ByteWriter().Str("ARCH").U8(1).I32(1000000).I32(5).Str("EOA"), false},
      {"a negative length", ByteWriter().Str("ARCH").U8(1).I32(-1).Str("EOA"), false},
      {"a newer version", ByteWriter().Str("ARCH").U8(2).I32(0).Str("EOA"), false},
      {"a wrong end tag", ByteWriter().Str("ARCH").U8(1).I32(1).I32(9).Str("EOX"), false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    Radar().GetSavedList() = {4, 5};
    archive_test::ReadArchive ar(c.block.Get());
    EXPECT_EQ(Radar().SerializeX(*ar), c.ok);
    EXPECT_EQ(ar->IsOK(), c.ok);
    EXPECT_EQ(Radar().GetSavedList(), (std::vector<int32_t>{4, 5}));
  }
}

}  // namespace
