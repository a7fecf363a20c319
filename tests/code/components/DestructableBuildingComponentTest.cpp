// Building damage: hits and repairs against armour, the damage levels, the clamped
// hit points and the saved block.
#include "components/DestructableBuildingComponent.h"

#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

using archive_test::Bytes;

TEST(DestructableBuildingComponentTest, HitsLoseAtLeastOnePointAndRepairsMendUpToTheMaximum) {
  const struct {
    int id, amount, armour, before, after;
  } cases[] = {
      {201, 3, 5, 100, 99},   // armour above the hit: still 1
      {201, 0, 0, 100, 95},   // no amount: 5
      {201, 12, 2, 50, 40},   //
      {201, 80, 0, 50, 0},    // never below 0
      {202, 0, 0, 90, 95},    // no amount: 5
      {202, 30, 9, 90, 100},  // armour plays no part; never above the maximum
      {202, 10, 0, 0, 0},     // ruins are not repaired
      {150, 10, 0, 60, 60},   // other messages change nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " with " << c.amount << " against " << c.armour);
    DestructableBuildingComponent building;
    building.SetArmorValue(c.armour);
    building.SetHitPoints(c.before);
    building.MessageFunction(c.id, c.amount, 0);
    EXPECT_EQ(building.GetHitPoints(), c.after);
  }
}

TEST(DestructableBuildingComponentTest, HitPointsStayWithinZeroAndTheMaximumAndSetTheDamageLevel) {
  DestructableBuildingComponent building;
  EXPECT_EQ(building.GetDamageLevelCount(), 1);
  EXPECT_EQ(building.GetArmorValue(), 1);
  EXPECT_EQ(building.GetHitPoints(), 100);
  EXPECT_EQ(building.GetDropItems(), 1);
  building.SetHitPoints(150);
  EXPECT_EQ(building.GetHitPoints(), 100);
  building.SetHitPoints(-1);
  EXPECT_EQ(building.GetHitPoints(), 0);
  building.SetDamageLevelCount(0);
  EXPECT_EQ(building.GetDamageLevelCount(), 1);

  const struct {
    int levels, current, maximum, level;
  } cases[] = {
      {4, 60, 100, 2}, {4, 100, 100, 0}, {4, 0, 100, 4}, {4, 99, 100, 1},
      {3, 1, 100, 3},  {4, 0, 0, 4},     {4, 0, -5, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.current << " of " << c.maximum << " in " << c.levels);
    DestructableBuildingComponent levels;
    levels.SetDamageLevelCount(c.levels);
    levels.SetHitPointsMax(c.maximum);
    levels.SetHitPoints(c.current);
    EXPECT_EQ(levels.GetCurrentDamageLevel(), c.level);
  }
}

TEST(DestructableBuildingComponentTest, TheBlockRoundTripsAndADamagedOneChangesNothing) {
  DestructableBuildingComponent saved;
  saved.SetDamageLevelCount(5);
  saved.SetHitPointsMax(300);
  saved.SetHitPoints(120);
  saved.SetArmorValue(7);
  saved.SetDropItems(0);
  const Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { saved.Serialize(ar); });

  DestructableBuildingComponent loaded;
  EXPECT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { loaded.Serialize(ar); }));
  EXPECT_EQ(loaded.GetDamageLevelCount(), 5);
  EXPECT_EQ(loaded.GetHitPointsMax(), 300);
  EXPECT_EQ(loaded.GetHitPoints(), 120);
  EXPECT_EQ(loaded.GetArmorValue(), 7);
  EXPECT_EQ(loaded.GetDropItems(), 0);

  for (size_t cut : {(size_t)4, (size_t)10}) {
    SCOPED_TRACE(cut);
    Bytes shortened(bytes.begin(), bytes.end() - (long)cut);
    DestructableBuildingComponent untouched;
    untouched.SetHitPoints(42);
    archive_test::LoadBytes(shortened, [&](VArchive& ar) { untouched.Serialize(ar); });
    EXPECT_EQ(untouched.GetHitPoints(), 42);
    EXPECT_EQ(untouched.GetHitPointsMax(), 100);
    EXPECT_EQ(untouched.GetArmorValue(), 1);
  }
}

}  // namespace
