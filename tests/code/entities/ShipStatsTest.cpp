// The ship record: its saved block of version 12 and the older versions it still
// reads, the special-weapon selection, upgrades and the copy for bought ships.
#include "entities/ShipStats.h"

#include "entities/UpgradeEntity.h"
#include "entities/UpgradeEntityTemplate.h"
#include "Managers/SaveGameManager.h"
#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

class ShipStatsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    SaveGameManagerProto::CleanInstance();
  }
};

auto SaveStats = [](ShipStats& s, VArchive& ar) { s.SerializeX(ar); };

// A hit-point block of version 2.
void HitpointsBlock(ByteWriter& w, int armor, int current, int maxArmor, int maximum) {
  w.Str("ARCH").U8(2).I32(armor).I32(current).I32(maxArmor).I32(maximum).Str("EOA");
}

// The fields every version from 2 on carries, as a fixture writes them.
ByteWriter BlockUpToStream(int version) {
  ByteWriter w;
  w.Str("ARCH").U8((uint8_t)version);
  w.Str("Sea Wolf").Str("scripts\\Ships\\TestSloop.lua").Str("Tortuga").Str("icon_wolf");
  w.I32(4).I32(2);
  HitpointsBlock(w, 5, 120, 50, 200);
  HitpointsBlock(w, 3, 80, 40, 100);
  w.U8(1).I64(77).I32(7);                                 // player flag, unique id, current special weapon
  w.F32(10).F32(20).F32(0).F32(1).F32(90).F32(0).F32(0).F32(1);  // saved position and orientation
  w.F32(1.5f).F32(2.0f).F32(0.5f).F32(1.25f).F32(0.75f);  // the five multipliers
  w.I32(2).I32(11).I32(12);                               // number list
  w.I32(0);                                               // upgrades
  w.I32(0);                                               // no component stream
  return w;
}

TEST_F(ShipStatsTest, FreshRecordTracksNoHitPointsAndHasTheDefaults) {
  ShipStats stats;
  EXPECT_EQ(stats.GetHull().GetMaximum(), -1);
  EXPECT_EQ(stats.GetSails().GetMaximum(), -1);
  EXPECT_FLOAT_EQ(stats.GetBoardingTime(), -1.0f);
  EXPECT_EQ(stats.GetLevel(), 3);
  EXPECT_EQ(stats.GetPrice(), 100);
  EXPECT_EQ(stats.GetSellValue(), 50);
  EXPECT_EQ(stats.GetMaxLootAmount(), 1);
  EXPECT_EQ(stats.CanCapture(), 1);
}

TEST_F(ShipStatsTest, CurrentBlockRoundTripsEveryField) {
  ShipStats original;
  original.SetShipName("Sea Wolf");
  original.SetScript("scripts\\Ships\\TestSloop.lua");
  original.SetLocation("Tortuga");
  original.SetShipIcon("icon_wolf");
  original.SetShipNation(4);
  original.ChangeColorScheme(2);
  original.GetHull().SetMaximum(200);
  original.GetHull().SetCurrent(150);
  original.GetSails().SetMaximum(100);
  original.SetPlayerShip(true);
  original.SetUniqueID(0x123456789LL);
  original.AddSpecialWeapon(4);
  original.AddSpecialWeapon(7);
  original.SetCurrentSpecialWeapon(7);
  original.SetSavedPosition(VisVector_cl(1, 2, 3));
  original.SetSavedOrientation(VisVector_cl(45, 0, 0));
  original.SetSpeedMultiplier(1.2f);
  original.SetReloadFactor(0.8f);
  original.GetNumberList() = {3, 1, 4};
  UpgradeEntityTemplate* upgrade = new UpgradeEntityTemplate();
  upgrade->m_sName = "str_UPGRADE_HULL";
  upgrade->m_sIcon = "hull.png";
  original.AddUpgrade(upgrade);
  VSmartPtr<SerializableStream> stream = new SerializableStream("<ShipStream>");
  IVFileOutStream* out = stream->Create("<ShipArchive>");
  out->Write("components", 10);
  out->Close();
  original.SetComponentStream(stream);
  original.SetBoardingTime(4.5f);
  original.SetMortarDamage(30.0f);
  original.SetToughnessRating(0.7f);
  original.SetPrice(900);
  original.SetLevel(5);
  original.SetMinLootAmount(2);
  original.SetMaxLootAmount(6);
  original.SetUnlockPrice(300);
  original.SetFlagTexture("flags\\skull.dds");
  original.SetCanCapture(0);

  ShipStats copy;
  Bytes written;
  ASSERT_TRUE(RoundTrip(original, copy, SaveStats, SaveStats, &written));
  EXPECT_EQ(written[8], 12);  // after "ARCH" as an archive string
  EXPECT_EQ(copy.GetLocation(), "Tortuga");
  EXPECT_EQ(copy.GetHull().GetCurrent(), 150);
  EXPECT_EQ(copy.GetUniqueID(), 0x123456789LL);
  EXPECT_EQ(copy.GetSpecialWeapons(), (std::vector<int>{4, 7}));
  EXPECT_EQ(copy.GetNumberList(), (std::vector<int>{3, 1, 4}));
  ASSERT_EQ(copy.GetPlayerUpgradeCount(), 1);
  EXPECT_EQ(copy.GetUpgrade(0)->m_sIcon, "hull.png");
  ASSERT_NE(copy.GetComponentStream(), nullptr);
  EXPECT_EQ(copy.GetComponentStream()->GetMemoryStream()->GetSize(), 10);
  EXPECT_EQ(copy.GetFlagTexture(), "flags\\skull.dds");
  EXPECT_EQ(copy.CanCapture(), 0);
}

TEST_F(ShipStatsTest, VersionSixBlockKeepsTheDefaultsOfLaterFields) {
  ByteWriter w = BlockUpToStream(6);
  w.F32(3.0f);                                           // boarding time (3)
  w.F32(11).F32(12).F32(13).F32(14).F32(15);             // damages (4)
  w.F32(0.1f).F32(0.2f).F32(0.3f).F32(0.4f);             // ratings (5)
  w.I32(500).I32(250);                                   // price, sell value (6)
  w.Str("EOA");

  ShipStats stats;
  ASSERT_TRUE(LoadBytes(w, [&](VArchive& ar) { stats.SerializeX(ar); }));
  EXPECT_EQ(stats.GetShipName(), "Sea Wolf");
  EXPECT_EQ(stats.GetSails().GetMaximum(), 100);
  EXPECT_EQ(stats.GetNumberList(), (std::vector<int>{11, 12}));
  EXPECT_FLOAT_EQ(stats.GetReloadFactor(), 0.75f);
  EXPECT_FLOAT_EQ(stats.GetMirvDamage(), 15.0f);
  EXPECT_EQ(stats.GetSellValue(), 250);
  // The list of special weapons came later: the selected one stands for it.
  EXPECT_EQ(stats.GetSpecialWeapons(), std::vector<int>{7});
  EXPECT_EQ(stats.GetLevel(), 3);
  EXPECT_EQ(stats.GetMinLootAmount(), 0);
  EXPECT_EQ(stats.GetMaxLootAmount(), 1);
  EXPECT_EQ(stats.GetUnlockPrice(), 0);
  EXPECT_TRUE(stats.GetFlagTexture().IsEmpty());
  EXPECT_EQ(stats.CanCapture(), 1);
}

TEST_F(ShipStatsTest, VersionTwoBlockReadsTheCoreOnly) {
  ByteWriter w = BlockUpToStream(2);
  w.Str("EOA");
  ShipStats stats;
  ASSERT_TRUE(LoadBytes(w, [&](VArchive& ar) { stats.SerializeX(ar); }));
  EXPECT_EQ(stats.GetUniqueID(), 77);
  EXPECT_TRUE(stats.IsPlayerShip());
  EXPECT_FLOAT_EQ(stats.GetBoardingTime(), -1.0f);
  EXPECT_FLOAT_EQ(stats.GetCannonBallDamage(), 1.0f);
  EXPECT_EQ(stats.GetPrice(), 100);
}

TEST_F(ShipStatsTest, BlockWithoutStartTagOrWithHostileCountChangesNothingAndFails) {
  ShipStats stats;
  ByteWriter wrongTag;
  wrongTag.Str("ARCX").U8(12);
  ReadArchive first(wrongTag);
  stats.SerializeX(*first);
  EXPECT_TRUE(stats.GetShipName().IsEmpty());

  ByteWriter hostile;
  hostile.Str("ARCH").U8(12).Str("Wolf").Str("").Str("").Str("").I32(0).I32(0);
  HitpointsBlock(hostile, 5, 10, 50, 10);
  HitpointsBlock(hostile, 5, 10, 50, 10);
  hostile.U8(0).I64(1).I32(0);
  for (int i = 0; i < 13; ++i) hostile.F32(0);
  hostile.I32(0x7fffffff);  // number list count far beyond the bytes left
  ReadArchive second(hostile);
  stats.SerializeX(*second);
  EXPECT_FALSE(second->IsOK());
  EXPECT_TRUE(stats.GetNumberList().empty());
}

TEST_F(ShipStatsTest, SpecialWeaponSelectionWrapsBothWays) {
  ShipStats empty;
  empty.SetCurrentSpecialWeapon(9);
  empty.NextSpecialWeapon();
  empty.PrevSpecialWeapon();
  EXPECT_EQ(empty.GetCurrentSpecialWeapon(), 9);  // an empty list selects nothing

  ShipStats stats;
  EXPECT_TRUE(stats.AddSpecialWeapon(4));
  EXPECT_FALSE(stats.AddSpecialWeapon(4));
  stats.AddSpecialWeapon(5);
  stats.AddSpecialWeapon(6);
  EXPECT_EQ(stats.GetSpecialWeapons(), (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(stats.GetCurrentSpecialWeapon(), 0);  // adding does not select

  stats.NextSpecialWeapon();
  stats.NextSpecialWeapon();
  EXPECT_EQ(stats.GetCurrentSpecialIndex(), 2);
  EXPECT_EQ(stats.GetCurrentSpecialWeapon(), 6);
  stats.NextSpecialWeapon();
  EXPECT_EQ(stats.GetCurrentSpecialIndex(), 0);
  EXPECT_EQ(stats.GetCurrentSpecialWeapon(), 4);
  stats.PrevSpecialWeapon();
  EXPECT_EQ(stats.GetCurrentSpecialIndex(), 2);
  EXPECT_EQ(stats.GetCurrentSpecialWeapon(), 6);
}

TEST_F(ShipStatsTest, AnUpgradeIsBoughtOnceByName) {
  ShipStats stats;
  UpgradeEntityTemplate* first = new UpgradeEntityTemplate();
  first->m_sName = "str_UPGRADE_SAILS";
  stats.AddUpgrade(first);
  ASSERT_EQ(stats.GetPlayerUpgradeCount(), 1);
  // Buying made an upgrade entity and took it out of the world again.
  int upgrades = 0;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    if (e && e->IsOfType(UpgradeEntity::GetClassTypeId())) {
      ++upgrades;
      EXPECT_TRUE(e->IsMarkedRemoved());
    }
  EXPECT_EQ(upgrades, 1);

  UpgradeEntityTemplate second;
  second.m_sName = "str_UPGRADE_SAILS";
  stats.AddUpgrade(&second);
  EXPECT_EQ(stats.GetPlayerUpgradeCount(), 1);
  EXPECT_EQ(stats.GetUpgradeByName("str_UPGRADE_SAILS"), first);
  EXPECT_EQ(stats.GetUpgrade(1), nullptr);
}

TEST_F(ShipStatsTest, AnUpgradeTemplateGivesItsScriptAndTextsToUpgradeEntitiesOnly) {
  UpgradeEntityTemplate stored;
  stored.m_sUpgradeScriptFile = "scripts\\Upgrades\\Sails.lua";
  stored.m_sScreenName = "Better sails";
  stored.m_sType = "Sails";
  stored.m_sName = "str_UPGRADE_SAILS";
  stored.m_sDescription = "str_UPGRADE_SAILS_DESC";
  stored.m_sImage = "upgrade_sails";
  stored.m_sIcon = "icon_sails";
  auto* upgrade = static_cast<UpgradeEntity*>(Vision::Game.CreateEntity("UpgradeEntity", VisVector_cl(0, 0, 0)));
  stored.ApplyToEntity(upgrade);
  EXPECT_EQ(upgrade->m_sUpgradeScriptFile, "scripts\\Upgrades\\Sails.lua");
  EXPECT_STREQ(upgrade->GetScreenName(), "Better sails");
  EXPECT_EQ(upgrade->m_sType, "Sails");
  EXPECT_EQ(upgrade->m_sName, "str_UPGRADE_SAILS");
  EXPECT_EQ(upgrade->m_sDescription, "str_UPGRADE_SAILS_DESC");
  EXPECT_EQ(upgrade->m_sImage, "upgrade_sails");
  EXPECT_EQ(upgrade->m_sIcon, "icon_sails");

  // Any other entity is left as it was.
  VisBaseEntity_cl* other = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(1, 2, 3));
  other->SetEntityKey("Plain");
  stored.ApplyToEntity(other);
  EXPECT_STREQ(other->GetEntityKey(), "Plain");
}

TEST_F(ShipStatsTest, CopyForABoughtShipLeavesDamagesLootAndUpgradesBehind) {
  ShipStats offer;
  offer.SetShipName("Galleon");
  offer.GetHull().SetMaximum(400);
  offer.SetSpeedMultiplier(1.3f);
  offer.AddSpecialWeapon(5);
  offer.SetCannonBallDamage(9.0f);
  offer.SetMaxLootAmount(8);
  offer.SetCanCapture(0);
  VSmartPtr<SerializableStream> stream = new SerializableStream("<ShipStream>");
  offer.SetComponentStream(stream);
  UpgradeEntityTemplate* upgrade = new UpgradeEntityTemplate();
  upgrade->m_sName = "str_UPGRADE_CANNONS";
  offer.AddUpgrade(upgrade);

  ShipStats bought;
  bought.CopyFrom(offer);
  EXPECT_EQ(bought.GetShipName(), "Galleon");
  EXPECT_EQ(bought.GetHull().GetMaximum(), 400);
  EXPECT_FLOAT_EQ(bought.GetSpeedMultiplier(), 1.3f);
  EXPECT_EQ(bought.GetSpecialWeapons(), std::vector<int>{5});
  EXPECT_EQ(bought.GetComponentStream(), stream.GetPtr());  // shared
  EXPECT_FLOAT_EQ(bought.GetCannonBallDamage(), 1.0f);
  EXPECT_EQ(bought.GetMaxLootAmount(), 1);
  EXPECT_EQ(bought.CanCapture(), 1);
  EXPECT_EQ(bought.GetPlayerUpgradeCount(), 0);
}

}  // namespace
