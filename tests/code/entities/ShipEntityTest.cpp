// Ship entities: the hit-point rules through the "ShipEntity" script class, the
// routing of messages to children and the sea battle, the record saved before a
// game is saved, and the entity's saved block.
#include "entities/ShipEntity.h"

#include "components/CannonComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipFXComponent.h"
#include "core/VEntityHighlightManager.h"
#include "entities/CannonEntity.h"
#include "entities/Nation.h"
#include "core/ComponentMessages.h"
#include "entities/ClothEntity.h"
#include "entities/ShipStats.h"
#include "Managers/SaveGameManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"

#include "engine/core/VisSurfaceTextureSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace archive_test;

using ::testing::HasSubstr;

namespace {

class ShipEntityTest : public ShipTestWorld {
 protected:
  ShipEntity* MakeShip(int nation = 2) {
    ShipEntity* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(10, 20, 0)));
    ship->SetEntityKey("Sea Wolf");
    ship->SetNation(nation);
    ship->SetStats(&record);
    GameManager::GetInstance()->GetNation(nation)->AddShip(ship);
    SetShipGlobal(ship);
    return ship;
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    ShipTestWorld::TearDown();
  }
  int Hull(const char* call) { return (int)Number(std::string("ship:") + call); }

  ShipStats record;
};

TEST_F(ShipEntityTest, AFreshRecordTracksNoHullSoAddingChangesNothing) {
  ShipEntity* ship = MakeShip();
  MessageRecorder* log = Listen(ship);
  EXPECT_EQ(Hull("GetHullHitpointsMax()"), -1);
  EXPECT_EQ(Run("ship:AddHitpoints(-10)"), "");
  EXPECT_EQ(record.GetHull().GetCurrent(), 10000);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_UNDER_50_HULL), 1);  // told all the same
}

TEST_F(ShipEntityTest, HitPointsStayBetweenZeroAndTheMaximum) {
  MakeShip();
  ASSERT_EQ(Run("ship:SetHullHitpointsMax(200)"), "");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 200);  // the current value follows a lower maximum
  Run("ship:AddHitpoints(-250)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 0);
  Run("ship:AddHitpoints(75)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 75);
  Run("ship:AddHitpoints(500)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 200);
  Run("ship:SetHullHitpointsMax(120)");
  EXPECT_EQ(Hull("GetHullHitpointsMax()"), 120);
  EXPECT_EQ(Hull("GetHullHitpoints()"), 120);
  Run("ship:SetHullHitpoints(-5)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 0);  // never reported below 0

  Run("ship:SetSailsHitpointsMax(80)");
  Run("ship:SetSailsHitpoints(30)");
  EXPECT_EQ(Hull("GetSailsHitpoints()"), 30);
  Run("ship:SetSailsHitpointsMax(20)");
  EXPECT_EQ(Hull("GetSailsHitpoints()"), 20);
}

TEST_F(ShipEntityTest, GodModeIgnoresLossesButStillHeals) {
  ShipEntity* ship = MakeShip();
  ship->AddComponent(new ShipBattleComponent());
  Run("ship:SetHullHitpointsMax(100)");
  Run("ship:SetHullHitpoints(50)");
  ASSERT_EQ(Run("ship:SetGodMode(true)"), "");
  MessageRecorder* log = Listen(ship);
  Run("ship:AddHitpoints(-10)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 50);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_UNDER_50_HULL), 0);
  Run("ship:AddHitpoints(10)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 60);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_UNDER_50_HULL), 1);
  Run("ship:SetGodMode(false)");
  Run("ship:AddHitpoints(-10)");
  EXPECT_EQ(Hull("GetHullHitpoints()"), 50);
}

TEST_F(ShipEntityTest, ResetHealsHullAndSailsThroughTheShipsMessage) {
  ShipEntity* ship = MakeShip();
  record.GetHull().SetMaximum(100);
  record.GetHull().SetCurrent(10);
  record.GetSails().SetMaximum(40);
  record.GetSails().SetCurrent(0);
  MessageRecorder* log = Listen(ship);
  ASSERT_EQ(Run("ship:ResetHitpoints()"), "");
  EXPECT_EQ(record.GetHull().GetCurrent(), 100);
  EXPECT_EQ(record.GetSails().GetCurrent(), 40);
  EXPECT_EQ(log->ids, (std::vector<int>{VIS_MSG_USER_SHIP_UNDER_50_HULL, 29}));
}

TEST_F(ShipEntityTest, RecordFieldsAndArgumentErrors) {
  MakeShip();
  Run("ship:SetArmor(80)");
  EXPECT_EQ(record.GetHull().GetArmor(), 5);  // an untracked hull keeps its armour
  record.GetHull().SetMaximum(100);
  Run("ship:SetArmor(80)");
  EXPECT_EQ(record.GetHull().GetArmor(), 50);
  Run("ship:SetArmor(80, 90)");
  EXPECT_EQ(record.GetHull().GetArmor(), 80);
  Run("ship:SetMaxLootAmount(7) ship:SetCannonBallDamage(2.5) ship:SetShipNation(4) ship:SetCanCapture(false)");
  EXPECT_EQ(Number("ship:GetMaxLootAmount()"), 7);
  EXPECT_FLOAT_EQ(record.GetCannonBallDamage(), 2.5f);
  EXPECT_EQ(record.GetNation(), 4);
  EXPECT_FALSE(Bool("ship:CanCapture()"));
  EXPECT_EQ(Number("ship:GetNation()"), 2);  // the entity's nation, not the record's

  EXPECT_THAT(Run("ship:AddHitpoints('many')"), HasSubstr(ArgError(2, "AddHitpoints", "Expected int")));
  EXPECT_THAT(Run("ship:SetBoostTime()"), HasSubstr(ArgError(2, "SetBoostTime", "Expected float")));
  EXPECT_THAT(Run("ship.AddHitpoints(GameManager, 5)"),
              HasSubstr(ArgError(1, "AddHitpoints", "Expected native object of type ShipEntity*")));
}

TEST_F(ShipEntityTest, MessagesReachTheChildrenButNotTheirSender) {
  ShipEntity* ship = MakeShip();
  VisBaseEntity_cl* cannon = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* sail = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  cannon->AttachToParent(ship);
  sail->AttachToParent(ship);
  MessageRecorder* cannonLog = Listen(cannon);
  MessageRecorder* sailLog = Listen(sail);
  ship->MessageFunction(57, 1234, (INT_PTR)cannon);
  EXPECT_TRUE(cannonLog->ids.empty());
  EXPECT_EQ(sailLog->ids, std::vector<int>{57});
  ship->MessageFunction(VIS_MSG_PHYSICS_CONTACT, 0, 68);
  EXPECT_EQ(sailLog->ids, std::vector<int>{57});  // contacts stay with the ship
}

TEST_F(ShipEntityTest, ADyingShipLeavesItsNationThroughTheSeaBattleUnlessItSentTheMessage) {
  ShipEntity* first = MakeShip();
  ShipStats second;
  ShipEntity* other = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  other->SetStats(&second);
  Nation* pirates = GameManager::GetInstance()->GetNation(2);
  pirates->AddShip(other);

  other->MessageFunction(VIS_MSG_USER_SHIP_DIES, 0, (INT_PTR)BattleManager::GetInstance());
  EXPECT_EQ(pirates->GetShips().Get(1), other);  // the sea battle sent it: not told again
  EXPECT_EQ(other->GetStats()->GetHull().GetCurrent(), 0);

  first->MessageFunction(VIS_MSG_USER_SHIP_DIES, 0, 0);
  EXPECT_EQ(pirates->GetShips().Get(0), nullptr);
  EXPECT_EQ(record.GetHull().GetCurrent(), 0);
}

TEST_F(ShipEntityTest, BeforeASaveTheRecordTakesPositionAndComponents) {
  ShipEntity* ship = MakeShip();
  ship->SetOrientation(30, 0, 0);
  SaveGameManagerProto::OnBeforeSave.TriggerCallbacks();
  EXPECT_TRUE(record.GetSavedPosition().IsEqual(VisVector_cl(10, 20, 0), 1e-5f));
  EXPECT_NEAR(record.GetSavedOrientation().x, 30.0f, 1e-4f);
  ASSERT_NE(record.GetComponentStream(), nullptr);
  EXPECT_GT(record.GetComponentStream()->GetMemoryStream()->GetSize(), 0);

  // A ship on its way out leaves its record alone.
  ship->SetPosition(VisVector_cl(0, 0, 0));
  ship->Remove();
  SaveGameManagerProto::OnBeforeSave.TriggerCallbacks();
  EXPECT_TRUE(record.GetSavedPosition().IsEqual(VisVector_cl(10, 20, 0), 1e-5f));
}

TEST_F(ShipEntityTest, ColourSchemesSailsAndFlagsSwapTheirTextures) {
  ShipEntity* hero = MakeSloop("Hero", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  ShipEntity* pirate = MakeSloop("Pirate", 2, VisVector_cl(0, 50, 0));
  ASSERT_TRUE(hero && pirate);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), hero);
  auto textureOf = [](VisBaseEntity_cl* e, int surface) -> std::string {
    VisSurfaceTextureSet_cl* set = e->GetCustomTextureSet();
    VTextureObject* texture = set ? set->GetTexture(surface) : nullptr;
    return texture ? texture->GetFilename() : "";
  };

  // Surfaces named "...Variation" take the scheme's number in place of the 1.
  hero->ChangeColorScheme(2);
  EXPECT_EQ(textureOf(hero, 0), "");
  EXPECT_EQ(textureOf(hero, 1), "textures\\ships\\sloop_deckVariation3.dds");
  ClothEntity* sail = hero->GetSails()[0];
  ASSERT_NE(sail, nullptr);
  EXPECT_EQ(textureOf(sail, 0), "textures\\ships\\sloop_sailsVariation3.dds");
  // Only the player's ship wears a scheme while the player sails.
  pirate->ChangeColorScheme(2);
  EXPECT_EQ(pirate->GetCustomTextureSet(), nullptr);

  hero->ChangeSails(0, "textures\\patched.dds");
  hero->ChangeSails(1, "textures\\second.dds");  // the sail has one surface only
  EXPECT_EQ(textureOf(sail, 0), "textures\\patched.dds");
  EXPECT_EQ(textureOf(sail, 1), "");

  hero->ChangeFlag("flags\\skull.dds");  // no flag yet: nothing, not even the record
  EXPECT_TRUE(hero->GetStats()->GetFlagTexture().IsEmpty());
  ClothEntity* flag = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
  hero->GetFlags()[0] = flag;
  hero->ChangeFlag("flags\\skull.dds");
  EXPECT_EQ(textureOf(flag, 0), "flags\\skull.dds");
  EXPECT_EQ(hero->GetStats()->GetFlagTexture(), "flags\\skull.dds");

  // A loaded game puts the record's flag back up.
  hero->SetCustomTextureSet(nullptr);
  flag->SetCustomTextureSet(nullptr);
  SaveGameManagerProto::OnAfterLoad.TriggerCallbacks();
  EXPECT_EQ(textureOf(flag, 0), "flags\\skull.dds");
}

TEST_F(ShipEntityTest, SavedBlockRoundTripsWithItsSails) {
  ShipEntity* ship = MakeShip();
  ship->SetConfigFile("Ships\\TestSloop.bin");
  ClothEntity* sail = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
  sail->SetEntityKey("Sails");
  ship->GetSails()[1] = sail;  // a list with a gap keeps its used length
  ShipEntity* fresh = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  Bytes written;
  ASSERT_TRUE(RoundTripSerialize(*ship, *fresh, &written));
  EXPECT_EQ(fresh->GetConfigFile(), "Ships\\TestSloop.bin");
  EXPECT_EQ(fresh->GetSails().GetValidSize(), 2u);
  EXPECT_EQ(fresh->GetSails()[0], nullptr);
  ASSERT_NE(fresh->GetSails()[1], nullptr);
  EXPECT_TRUE(fresh->GetSails()[1]->HasObjectKey("Sails"));
  EXPECT_EQ(fresh->GetNation(), 2);
}

// Sails, flags and the special cannon's mount are entities of their own: one that
// goes leaves the ship without a dangling part.
TEST_F(ShipEntityTest, DestroyedPartsLeaveTheShip) {
  ShipEntity* ship = MakeShip();
  auto makeCloth = [] { return static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0))); };
  ClothEntity* sail = makeCloth();
  ClothEntity* kept = makeCloth();
  ClothEntity* flag = makeCloth();
  ship->GetSails()[0] = sail;
  ship->GetSails()[1] = kept;
  ship->GetFlags()[0] = flag;
  auto* mount = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(0, 0, 0)));
  mount->SetSpecialCannon(true);
  mount->AttachToParent(ship);
  auto* special = new CannonComponent();
  ASSERT_TRUE(mount->AddComponent(special));
  ship->SetSpecialCannon(special);

  for (VisBaseEntity_cl* part : {(VisBaseEntity_cl*)sail, (VisBaseEntity_cl*)flag, (VisBaseEntity_cl*)mount})
    part->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(ship->GetSails()[0], nullptr);
  EXPECT_EQ(ship->GetSails()[1], kept);
  EXPECT_EQ(ship->GetFlags()[0], nullptr);
  EXPECT_EQ(ship->GetSpecialCannon(), nullptr);
  // The gaps are read and saved as missing parts.
  ship->ChangeSails(0, "textures\\patched.dds");
  ship->ChangeFlag("flags\\skull.dds");
  ShipEntity* fresh = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  EXPECT_TRUE(RoundTripSerialize(*ship, *fresh));
}

// A ship leaving the world leaves every highlight set; one deleted outside the
// world's frame leaves its nation's ship list as well.
TEST_F(ShipEntityTest, ALeavingShipIsForgottenByHighlightsAndNations) {
  ShipEntity* ship = MakeShip();
  VEntityHighlightManager* highlights = VEntityHighlightManager::GetInstance();
  highlights->AddHighlight(ship, 0xffffffff);
  highlights->AddOcclusionHighlight(ship, 0xff00ff00);
  highlights->AddUnitHighlight(ship, 0xff0000ff);
  ship->DeInitFunction();
  EXPECT_FALSE(highlights->IsHighlighted(ship));
  EXPECT_FALSE(highlights->IsOcclusionHighlighted(ship));
  EXPECT_FALSE(highlights->IsUnitRegistered(ship));
  EXPECT_FALSE(highlights->IsUnitActive(ship));

  ShipEntity* other = MakeShip();
  Nation* nation = GameManager::GetInstance()->GetNation(2);
  highlights->AddHighlight(other, 0xffffffff);
  delete other;
  EXPECT_FALSE(highlights->IsHighlighted(other));
  for (unsigned i = 0; i < nation->GetShips().GetValidSize(); ++i) EXPECT_NE(nation->GetShips().Get(i), other);
  VEntityHighlightManager::Shutdown();
}

TEST_F(ShipEntityTest, SavedBlockWithoutStartTagReadsNothingElse) {
  ShipEntity* ship = MakeShip();
  ShipEntity* fresh = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  ship->SetConfigFile("Ships\\TestSloop.bin");
  Bytes bytes = SaveBytes([&](VArchive& ar) { ship->Serialize(ar); });
  bytes[4] = 'X';  // "ARCH" becomes "XRCH"
  ReadArchive ar(bytes);
  fresh->Serialize(*ar);
  EXPECT_TRUE(fresh->GetConfigFile().IsEmpty());
  EXPECT_EQ(fresh->GetNation(), 0);
  EXPECT_EQ(ar->GetRemaining(), (int64_t)bytes.size() - 8);  // only the tag was read
}

TEST_F(ShipEntityTest, ThrowDebrisGoesToTheEffectsOfTheShip) {
  ShipEntity* ship = MakeShip();
  auto debris = [] {
    int n = 0;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) n += e && !e->IsMarkedRemoved() && e->IsOfType("DebrisEntity");
    return n;
  };
  // Without the effects component nothing is thrown.
  EXPECT_EQ(Run("ship:ThrowDebris(Vector(1, 2, 3), Vector(0, 0, 4), Vector(1, 1, 1))"), "");
  EXPECT_EQ(debris(), 0);
  ship->AddComponent(new ShipFXComponent());
  EXPECT_EQ(Run("ship:ThrowDebris(Vector(1, 2, 3), Vector(0, 0, 4), Vector(1, 1, 1))"), "");
  const int thrown = debris();
  EXPECT_GE(thrown, 1);
  EXPECT_LE(thrown, 4);
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
    if (e && e->IsOfType("DebrisEntity")) {
      EXPECT_TRUE(e->GetPosition().IsEqual(VisVector_cl(1, 2, 3), 1e-5f));
    }
  }
  // Left out, or not vectors, the three are zero: wreckage of no size is not made.
  EXPECT_EQ(Run("ship:ThrowDebris()"), "");
  EXPECT_EQ(Run("ship:ThrowDebris('here', 5, true)"), "");
  EXPECT_EQ(debris(), thrown);
  EXPECT_THAT(Run("ship.ThrowDebris(GameManager, Vector(1, 2, 3))"),
              HasSubstr(ArgError(1, "ThrowDebris", "Expected native object of type ShipEntity*")));
  EXPECT_EQ(debris(), thrown);
}

}  // namespace
