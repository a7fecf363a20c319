// Nations: reputation bounds, enemies, the ship slots, the player's ship and the
// saved block with its older versions.
#include "entities/Nation.h"

#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

struct ReputationCase {
  float start;
  const char* op;
  float value;
  float expected;
};

class NationReputation : public ::testing::TestWithParam<ReputationCase> {};

TEST_P(NationReputation, StaysWithinZeroAndOne) {
  const ReputationCase& c = GetParam();
  Nation nation(2, "Pirate");
  nation.SetReputation(c.start);
  if (std::string(c.op) == "set") nation.SetReputation(c.value);
  if (std::string(c.op) == "add") nation.AddReputation(c.value);
  if (std::string(c.op) == "dec") nation.DecReputation(c.value);
  EXPECT_FLOAT_EQ(nation.GetReputation(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Nation, NationReputation,
                         ::testing::Values(ReputationCase{0.0f, "set", 1.5f, 1.0f}, ReputationCase{0.0f, "set", -3.0f, 0.0f},
                                           ReputationCase{0.8f, "add", 0.5f, 1.0f}, ReputationCase{0.5f, "dec", 2.0f, 0.0f},
                                           ReputationCase{0.5f, "add", -0.2f, 0.3f}));

TEST(NationTest, NeverItsOwnEnemyAndEachEnemyOnce) {
  Nation nation(2, "Pirate");
  Nation corsair(3, "Corsair");
  nation.AddEnemy(2);
  nation.AddEnemy(5);
  nation.AddEnemy(5);
  nation.AddEnemy(&corsair);
  nation.AddEnemy(nullptr);
  EXPECT_EQ(nation.GetEnemies(), (std::set<int>{3, 5}));
  EXPECT_TRUE(nation.IsEnemy(&corsair));
  EXPECT_FALSE(nation.IsEnemy(2));
  nation.RemoveEnemy(5);
  EXPECT_FALSE(nation.IsEnemy(5));
}

class NationShipsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (ShipEntity* ship : {&a, &b, &c}) ship->Remove();
    Vision::Game.FreeRemovedEntities();
  }
  // Ships live in the world; the test frees them itself.
  ShipEntity& a = *new ShipEntity();
  ShipEntity& b = *new ShipEntity();
  ShipEntity& c = *new ShipEntity();
};

TEST_F(NationShipsTest, ShipsTakeTheFirstFreeSlotOnce) {
  Nation nation(1, "Player");
  nation.AddShip(&a);
  nation.AddShip(&b);
  nation.AddShip(&a);
  EXPECT_EQ(nation.GetShips().GetValidSize(), 2u);

  nation.RemoveShip(&a);
  nation.RemoveShip(nullptr);
  EXPECT_EQ(nation.GetShips().Get(0), nullptr);
  nation.AddShip(&c);
  EXPECT_EQ(nation.GetShips().Get(0), &c);
  EXPECT_EQ(nation.GetShips().Get(1), &b);

  nation.ResetShips();
  EXPECT_EQ(nation.GetShips().GetSize(), 0u);
}

TEST_F(NationShipsTest, PlayerShipIsTheFirstWithThePlayersRecord) {
  Nation nation(1, "Player");
  ShipStats npc, player;
  player.SetPlayerShip(true);
  a.SetStats(&npc);
  c.SetStats(&player);
  nation.AddShip(&a);
  nation.AddShip(&b);  // no record
  EXPECT_EQ(nation.GetPlayerShip(), nullptr);
  nation.AddShip(&c);
  EXPECT_EQ(nation.GetPlayerShip(), &c);
}

void Save(Nation& n, VArchive& ar) { n.SerializeX(ar); }
void Load(Nation& n, VArchive& ar) { n.SerializeX(ar); }

TEST(NationTest, BlockRoundTripsAndMatchesItsLayout) {
  Nation original(3, "Corsair");
  original.SetType(2);
  original.SetMansionAccessible(false);
  original.SetReputation(0.25f);
  original.AddEnemy(4);
  original.AddEnemy(2);
  original.AddShipScript("scripts\\ships\\corsair_brig.lua");
  Nation fresh(0, "");
  Bytes written;
  ASSERT_TRUE(RoundTrip(original, fresh, Save, Load, &written));

  const Bytes expected = ByteWriter()
                             .Str("ARCH")
                             .U8(4)
                             .I32(3)
                             .U8(0)
                             .Str("Corsair")
                             .F32(0.25f)
                             .I32(2)
                             .I32(2)
                             .I32(4)
                             .I32(1)
                             .Str("scripts\\ships\\corsair_brig.lua")
                             .I32(2)
                             .Str("EOA");
  EXPECT_EQ(written, expected);
  EXPECT_EQ(fresh.GetName(), "Corsair");
  EXPECT_EQ(fresh.GetType(), 2);
  EXPECT_TRUE(fresh.IsEnemy(4));
}

TEST(NationTest, VersionTwoKeepsEnemiesAndShipScriptsAndEmptiesTheShips) {
  ShipEntity* ship = new ShipEntity();
  Nation nation(9, "Old");
  nation.AddEnemy(7);
  nation.AddShipScript("kept.lua");
  nation.SetType(3);
  nation.AddShip(ship);
  const Bytes v2 = ByteWriter().Str("ARCH").U8(2).I32(4).U8(1).Str("Buccaneer").F32(0.75f).Str("EOA");
  ASSERT_TRUE(LoadBytes(v2, [&](VArchive& ar) { nation.SerializeX(ar); }));
  EXPECT_EQ(nation.GetNationId(), 4);
  EXPECT_EQ(nation.GetName(), "Buccaneer");
  EXPECT_FLOAT_EQ(nation.GetReputation(), 0.75f);
  EXPECT_TRUE(nation.IsEnemy(7));
  EXPECT_EQ(nation.GetShipScriptCount(), 1);
  EXPECT_EQ(nation.GetType(), 3);
  EXPECT_EQ(nation.GetShips().GetValidSize(), 0u);

  // A version-1 block carries no data.
  const Bytes v1 = ByteWriter().Str("ARCH").U8(1).Str("EOA");
  ASSERT_TRUE(LoadBytes(v1, [&](VArchive& ar) { nation.SerializeX(ar); }));
  EXPECT_EQ(nation.GetName(), "Buccaneer");
  ship->Remove();
  Vision::Game.FreeRemovedEntities();
}

TEST(NationTest, HostileCountsFailTheArchiveWithoutReadingOn) {
  Nation nation(1, "Player");
  nation.AddEnemy(2);
  const Bytes hostile = ByteWriter().Str("ARCH").U8(4).I32(1).U8(1).Str("Player").F32(0.5f).I32(0x7fffffff).Str("EOA");
  ReadArchive ar(hostile);
  nation.SerializeX(*ar);
  EXPECT_FALSE(ar->IsOK());
  EXPECT_TRUE(nation.IsEnemy(2));
}

}  // namespace
