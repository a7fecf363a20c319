// Collectables: revealed and picked up by the player's unit on land or his ship at
// sea, refused by their script, bought, carried by a soldier, and their saved block
// (the collector of old blocks) and stored form.
#include "support/ScopedRadarGui.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"

#include "components/CarryComponent.h"
#include "Managers/ArtifactManager.h"
#include "Managers/RadarManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/CollectableId.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"

namespace {

using archive_test::Bytes;
using archive_test::ByteWriter;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

class CollectableEntityTest : public ShipTestWorld {
 protected:
  void SetUp() override {
    ShipTestWorld::SetUp();
    RtsManager::GlobalManager().OneTimeInit();
    Write("scripts/gem.lua",
          "allowed = true\n"
          "function OnCreate(self) self:SetKey('Gem') end\n"
          "function CanPlayerCollect(self) return allowed end\n"
          "function OnCollect(self, by) GameManager.AddMoney(5) end\n");
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    RtsManager::GlobalManager().OneTimeDeInit();
    ShipTestWorld::TearDown();
  }

  // An item lying at the place; non-carriable ones are pulled in by whoever claims them.
  CollectableEntity* MakeItem(const VisVector_cl& at, bool carriable = false, const char* script = "scripts/gem.lua") {
    auto* item = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", at));
    item->m_bCarriable = carriable ? 1 : 0;
    item->SetCollectableScriptFile(script);
    item->InitCollectableItem();
    return item;
  }

  // On land: the player's character unit with one soldier whose view range is given.
  UnitEntity* MakePlayerUnit(const VisVector_cl& at, float viewRange) {
    GameManager::GetInstance()->SetLocation(1);
    auto* unit = new UnitEntity();
    unit->SetEntityKey("PlayerCharacter");
    unit->SetNation(1);
    unit->SetPosition(at);
    BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, unit);
    GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
    heroStats.m_CombatSkills.m_fViewRange = viewRange;
    auto* hero = new SoldierEntity();
    hero->SetPosition(at);
    hero->SetStats(&heroStats);
    unit->AddSoldier(hero);
    EXPECT_EQ(GameManager::GetInstance()->GetPlayerEntity(), unit);
    return unit;
  }

  int Owned(const char* key) { return GameSessionManager::GetInstance()->GetPlayerCollectableCountByName(key); }

  SoldierStats heroStats;
};

TEST_F(CollectableEntityTest, AHiddenItemWaitsForTheFirstSoldiersViewThenComesToTheUnit) {
  UnitEntity* unit = MakePlayerUnit(VisVector_cl(0, 0, 0), 5.0f);
  CollectableEntity* item = MakeItem(VisVector_cl(5.5f, 0, 0));
  item->m_sHighlightEffect = "particles\\glow.xml";
  item->SetHidden(1);
  // Within the pick distance on land (6) but outside the view range (5).
  Frames(10);
  EXPECT_TRUE(item->IsHidden());
  EXPECT_EQ(item->GetVisibleBitmask(), 0u);
  EXPECT_EQ(item->GetCollector(), nullptr);
  EXPECT_FALSE(item->IsHighlightRunning());

  // The unit stands where its soldiers stand.
  unit->GetSoldierAtIndex(0)->SetPosition(VisVector_cl(1.0f, 0, 0));
  unit->SetPosition(VisVector_cl(1.0f, 0, 0));
  Frame();
  EXPECT_FALSE(item->IsHidden());
  EXPECT_NE(item->GetVisibleBitmask(), 0u);
  EXPECT_TRUE(item->IsHighlightRunning());
  EXPECT_EQ(item->GetCollector(), unit);
  Frames(30);
  EXPECT_EQ(Owned("Gem"), 1);
  EXPECT_EQ(Vision::Game.SearchEntity("Gem"), nullptr);
}

TEST_F(CollectableEntityTest, AnItemTheScriptRefusesStaysAndCanBeTakenLater) {
  ShipEntity* ship = MakeSloop("Player", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), ship);
  // Close enough that the still ship need not pull it in.
  CollectableEntity* item = MakeItem(VisVector_cl(0.3f, 0, 0));
  // The script's state is the item's own.
  IVScriptInstance* script = Vision::GetScriptManager()->GetScriptInstance(item);
  ASSERT_NE(script, nullptr);
  script->SetGlobal("allowed", false);
  Frames(20);
  EXPECT_EQ(item->GetCollector(), nullptr);
  EXPECT_EQ(Owned("Gem"), 0);
  EXPECT_FALSE(item->IsMarkedRemoved());

  script->SetGlobal("allowed", true);
  const int money = GameSessionManager::GetInstance()->GetPlayer()->GetMoney();
  Frames(20);
  EXPECT_EQ(Owned("Gem"), 1);
  // "OnCollect" ran once, with the item taken.
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney(), money + 5);
}

TEST_F(CollectableEntityTest, AClaimedItemRefusedAtThePickUpIsFreeAgain) {
  ShipEntity* ship = MakeSloop("Player", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  CollectableEntity* item = MakeItem(VisVector_cl(0.2f, 0, 0));
  ASSERT_TRUE(item->Collect(ship));
  ASSERT_EQ(item->GetCollector(), ship);
  // A second claim does not take it over.
  ShipEntity* other = MakeSloop("Other", 2, VisVector_cl(50, 0, 0));
  item->Collect(other);
  EXPECT_EQ(item->GetCollector(), ship);

  Vision::GetScriptManager()->GetScriptInstance(item)->SetGlobal("allowed", false);
  EXPECT_FALSE(item->DoCollect());
  EXPECT_EQ(item->GetCollector(), nullptr);
  EXPECT_EQ(Owned("Gem"), 0);
  EXPECT_FALSE(item->IsMarkedRemoved());
}

TEST_F(CollectableEntityTest, BuyingTakesThePriceFromTheScriptAndNeedsItsConsent) {
  Write("scripts/shop.lua",
        "price_ok = 1\n"
        "function OnCreate(self) self:SetKey('Rope') end\n"
        "function OnBuy(self) return price_ok end\n");
  const struct {
    int priceOk;
    bool owned;
  } cases[] = {{1, true}, {0, false}};
  for (const auto& c : cases) {
    GameSessionManager::CleanInstance();
    CollectableEntity* item = MakeItem(VisVector_cl(0, 0, 0), false, "scripts/shop.lua");
    Vision::GetScriptManager()->GetScriptInstance(item)->SetGlobal("price_ok", c.priceOk);
    item->Buy();
    EXPECT_EQ(Owned("Rope"), c.owned ? 1 : 0) << c.priceOk;
    EXPECT_EQ(item->IsMarkedRemoved(), c.owned) << c.priceOk;
  }
  // Without a script nothing is bought.
  CollectableEntity* bare = MakeItem(VisVector_cl(0, 0, 0), false, "");
  bare->Buy();
  EXPECT_FALSE(bare->IsMarkedRemoved());
}

TEST_F(CollectableEntityTest, ASoldierAtExactlyThePickDistanceCarriesTheItemOffHisUnit) {
  UnitEntity* unit = MakePlayerUnit(VisVector_cl(0, 0, 0), 5.0f);
  SoldierEntity* soldier = unit->GetSoldierAtIndex(0);
  CarryComponent* carry = ComponentSetup::AddNew<CarryComponent>(soldier);
  ASSERT_NE(carry, nullptr);
  CollectableEntity* item = MakeItem(VisVector_cl(6.0f, 0, 0), true);
  EXPECT_EQ(unit->SetCarryTargetForSoldier(item), soldier);
  EXPECT_EQ(carry->GetCarryTarget(), item);
  // Busy now: the next item finds nobody.
  CollectableEntity* second = MakeItem(VisVector_cl(1.0f, 0, 0), true);
  EXPECT_EQ(unit->SetCarryTargetForSoldier(second), nullptr);
  carry->SetCarryTarget(nullptr);
  CollectableEntity* far = MakeItem(VisVector_cl(6.01f, 0, 0), true);
  EXPECT_EQ(unit->SetCarryTargetForSoldier(far), nullptr);

  // Within 4 the soldier picks it up; delivered, it is used and gone.
  carry->SetCarryTarget(second);
  carry->CheckAndCollectCarryTarget();
  ASSERT_TRUE(carry->IsCarrying());
  EXPECT_EQ(second->GetCarrier(), soldier);
  Vision::Game.SendMsg(soldier, VIS_MSG_USER_UNIT_DELIVER);
  EXPECT_FALSE(carry->IsCarrying());
  EXPECT_TRUE(second->IsMarkedRemoved());
}

TEST_F(CollectableEntityTest, OnlyOldBlocksNameTheCollectorAndTheBlockReadsBackWhole) {
  CollectableEntity* original = MakeItem(VisVector_cl(1, 2, 0));
  original->m_sDescription = "str_GEM";
  original->m_iPrice = 40;
  original->m_fPickDistanceLand = 3.5f;
  original->m_sLargeImage = "GemLarge";
  CollectableEntity* fresh = MakeItem(VisVector_cl(0, 0, 0));
  ASSERT_TRUE(archive_test::RoundTripSerialize(*original, *fresh));
  EXPECT_EQ(fresh->m_iPrice, 40);
  EXPECT_EQ(fresh->m_sLargeImage, "GemLarge");

  // Version 10 holds the collector in front of the values; 11 leaves it unset.
  auto* claimer = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(4, 0, 0)));
  claimer->SetEntityKey("Claimer");
  const Bytes base = SaveBytes([&](VArchive& ar) { original->BaseEntity::Serialize(ar); });
  auto block = [&](int version) {
    ByteWriter head;
    head.Str("ARCH").U8((uint8_t)version);
    const Bytes collector = SaveBytes([&](VArchive& ar) { ar.WriteObject(claimer); });
    ByteWriter rest;
    rest.I32(1).I32(0).Str("scripts/gem.lua").Str("").Str("Gem").I32(2).F32(12.0f).I32(1);
    rest.Str("").Str("").I32(0).I32(0).F32(0).I32(0).I32(1).F32(6).Str("").Str("").Str("EOA");
    Bytes all = base;
    all.insert(all.end(), head.Get().begin(), head.Get().end());
    if (version < 11) all.insert(all.end(), collector.begin(), collector.end());
    all.insert(all.end(), rest.Get().begin(), rest.Get().end());
    return all;
  };
  for (int version : {10, 11}) {
    CollectableEntity* item = MakeItem(VisVector_cl(0, 0, 0));
    ASSERT_TRUE(LoadBytes(block(version), [&](VArchive& ar) { item->Serialize(ar); })) << version;
    VisBaseEntity_cl* collector = item->GetCollector();
    if (version == 10) {
      ASSERT_NE(collector, nullptr);
      EXPECT_STREQ(collector->GetObjectKey(), "Claimer");
    } else {
      EXPECT_EQ(collector, nullptr);
    }
    EXPECT_TRUE(item->IsHidden());
    EXPECT_FLOAT_EQ(item->m_fPickDistance, 12.0f);
  }
}

TEST_F(CollectableEntityTest, AStoredFormMakesTheItemAgainWithEveryValue) {
  CollectableEntityTemplate fresh;
  auto* item = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl()));
  // Fresh, the two pick distances at sea differ.
  EXPECT_FLOAT_EQ(fresh.m_fPickDistance, 15.0f);
  EXPECT_FLOAT_EQ(item->m_fPickDistance, 10.0f);

  item->m_sType = "Blueprint";
  item->m_iMinValue = 3;
  item->m_iMaxValue = 9;
  item->m_fCooldownTimer = 2.5f;
  item->m_sHighlightEffect = "particles\\glow.xml";
  item->m_sCollectableScriptFile = "scripts/gem.lua";
  item->SetNation(4);
  CollectableEntityTemplate stored;
  item->SaveToTemplate(stored);
  stored.m_vPosition = VisVector_cl(7, 8, 0);
  auto* again = static_cast<CollectableEntity*>(Vision::Game.CreateEntity(stored));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->m_sType, "Blueprint");
  EXPECT_EQ(again->m_iMinValue, 3);
  EXPECT_EQ(again->m_iMaxValue, 9);
  EXPECT_FLOAT_EQ(again->GetCooldownTime(), 2.5f);
  EXPECT_EQ(again->GetNation(), 4);
  // Readied with its script, which names it, and glowing.
  EXPECT_STREQ(again->GetObjectKey(), "Gem");
  EXPECT_TRUE(again->IsHighlightRunning());
}

TEST_F(CollectableEntityTest, TheScriptClassClaimsAndNamesTheCarrier) {
  ShipEntity* ship = MakeSloop("Player", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  CollectableEntity* item = MakeItem(VisVector_cl(40, 0, 0));
  SetGlobalObject("item", item);
  SetGlobalObject("ship", ship);
  EXPECT_EQ(Run("carried = item:HasCarrier()\nitem:Collect(ship)"), "");
  EXPECT_EQ(item->GetCollector(), ship);
  EXPECT_EQ(String("tostring(carried)"), "nil");
  item->SetCarrier(ship);
  EXPECT_TRUE(Bool("item:HasCarrier()"));
  EXPECT_TRUE(Bool("item:GetCarrier() == ship"));
  EXPECT_NE(Run("item.Collect(ship, ship)").find("Expected native object of type CollectableEntity*"),
            std::string::npos);
}

TEST_F(CollectableEntityTest, TheCompassMarksOnlyTheNearestBlueprintWithinItsReach) {
  ScopedRadarGui radarGui;
  ASSERT_TRUE(radarGui.IsReady());
  MakeSloop("Player", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  CollectableEntity* near = MakeItem(VisVector_cl(30, 0, 0));
  CollectableEntity* far = MakeItem(VisVector_cl(0, 50, 0));
  CollectableEntity* beyond = MakeItem(VisVector_cl(-150, 0, 0));
  for (CollectableEntity* blueprint : {near, far, beyond}) blueprint->m_sType = "Blueprint";
  RadarManager* radar = RadarManager::GetInstance();
  Frame();
  EXPECT_EQ(radar->GetNumMarkers(), 0);  // without the compass nothing shows

  ArtifactManager::GetInstance()->ActivateArtifact(COMPASS, 0.0f, 100.0f, "", 0.0f);
  Frames(2);
  ASSERT_NE(radar->FindMarker(near), nullptr);
  EXPECT_EQ(radar->FindMarker(near)->kind, TRACK_BLUEPRINT);
  EXPECT_EQ(radar->FindMarker(far), nullptr);
  EXPECT_EQ(radar->FindMarker(beyond), nullptr);

  // Another comes nearer and takes the mark; once it is gone the first has it again.
  far->SetPosition(VisVector_cl(0, 12, 0));
  Frames(2);
  EXPECT_NE(radar->FindMarker(far), nullptr);
  EXPECT_EQ(radar->FindMarker(near), nullptr);
  far->Remove();
  Frames(2);
  EXPECT_NE(radar->FindMarker(near), nullptr);

  // "BlueprintCollected" starts the search afresh.
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(beyond, 150.0f), 30.0f);
  ASSERT_EQ(Run("ArtifactManager.BlueprintCollected()"), "");
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(beyond, 150.0f), 150.0f);
  RadarManager::CleanInstance();
}

TEST_F(CollectableEntityTest, AGivenArtifactLandsInTheInventoryAsIfPickedUp) {
  Write("scripts/game.lua",
        "function GetAllCollectableScript(id) if id == 12 then return 'scripts/gem.lua' end return '' end");
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/game.lua"));
  MakeSloop("Player", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  ASSERT_EQ(Run("ArtifactManager.GiveArtifact(12, 2, 7)"), "");
  CollectableEntityTemplate* owned = GameSessionManager::GetInstance()->GetCollectableByName("Gem");
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(owned->m_iMinValue, 2);
  EXPECT_EQ(owned->m_iMaxValue, 7);
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Vision::Game.SearchEntity("Gem"), nullptr);

  // An item the game script does not know is reported and gives nothing.
  const int asserts = Vision::Error.GetAssertCount();
  ArtifactManager::GetInstance()->GiveArtifact(99, -1, -1);
  EXPECT_EQ(Vision::Error.GetAssertCount(), asserts + 1);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayerCollectableCount(), 1);
}

}  // namespace
