// Hit points and armour: nothing changes while untracked, values stay in range,
// and the saved block round-trips.
#include "entities/Hitpoints.h"

#include "support/ArchiveRoundTrip.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

Hitpoints Tracked(int maximum, int current) {
  Hitpoints hp;
  hp.SetMaximum(maximum);
  hp.SetCurrent(current);
  return hp;
}

TEST(HitpointsTest, ChangesStayWithinTheirLimits) {
  Hitpoints hull = Tracked(200, 120);
  hull.AddHitpoints(500);
  EXPECT_EQ(hull.GetCurrent(), 200);
  hull.AddHitpoints(-999);
  EXPECT_EQ(hull.GetCurrent(), 0);
  hull.SetHitpoints(300, 0);  // a maximum of 0 keeps the old one
  EXPECT_EQ(hull.GetMaximum(), 200);
  EXPECT_EQ(hull.GetCurrent(), 200);
  hull.SetHitpoints(90, 100);
  EXPECT_EQ(hull.GetMaximum(), 100);
  EXPECT_EQ(hull.GetCurrent(), 90);

  hull.SetArmor(80, -1);  // maximum armour stays 50
  EXPECT_EQ(hull.GetArmor(), 50);
  hull.AddArmor(-70);
  EXPECT_EQ(hull.GetArmor(), 0);
  hull.ResetArmor();
  EXPECT_EQ(hull.GetArmor(), 50);
}

TEST(HitpointsTest, UntrackedHitpointsNeverChange) {
  Hitpoints hp;
  EXPECT_FALSE(hp.IsTracked());
  hp.SetHitpoints(5, 10);
  hp.AddHitpoints(-100);
  hp.SetArmor(1, 2);
  hp.ResetHitpoints();
  EXPECT_EQ(hp.GetMaximum(), -1);
  EXPECT_EQ(hp.GetCurrent(), 10000);
  EXPECT_EQ(hp.GetArmor(), 5);
  EXPECT_EQ(hp.GetMaxArmor(), 50);
}

TEST(HitpointsTest, BlockRoundTripsInItsFieldOrder) {
  Hitpoints original = Tracked(250, 120);
  original.SetArmor(7, 9);
  Hitpoints fresh;
  Bytes written;
  auto io = [](Hitpoints& hp, VArchive& ar) { hp.SerializeX(ar); };
  ASSERT_TRUE(RoundTrip(original, fresh, io, io, &written));
  EXPECT_EQ(written, ByteWriter().Str("ARCH").U8(2).I32(7).I32(120).I32(9).I32(250).Str("EOA").Get());
  EXPECT_EQ(fresh.GetMaximum(), 250);

  // Versions below 2 carry no fields.
  Hitpoints old;
  ASSERT_TRUE(LoadBytes(ByteWriter().Str("ARCH").U8(1).Str("EOA"), [&](VArchive& ar) { old.SerializeX(ar); }));
  EXPECT_EQ(old.GetCurrent(), 10000);
}

}  // namespace
