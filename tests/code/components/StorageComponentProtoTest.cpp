// The collectable storage: who may carry one, dropping one or all of its items onto
// the ground, its saved block, the script class, and the drops of a falling soldier
// (with the town's guard count) and of a sinking ship.
#include "code/entities/SoldierFixture.h"
#include "SeaBattleFixture.h"

#include "components/StorageComponentProto.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/TownEntity.h"
#include "Managers/TownManager.h"
#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using archive_test::Bytes;

CollectableEntityTemplate* Item(const char* name, const char* model = "models/crate.model") {
  auto* templ = new CollectableEntityTemplate();
  templ->m_sScreenName = name;
  templ->m_sModelFile = model;
  return templ;
}

std::vector<CollectableEntity*> Dropped() {
  VisEntityCollection_cl found;
  Vision::Game.SearchEntity("Collectable_dropped_by_ship", found);
  std::vector<CollectableEntity*> items;
  for (VisBaseEntity_cl* e : found)
    if (e && !e->IsMarkedRemoved() && e->IsOfType(CollectableEntity::GetClassTypeId()))
      items.push_back(static_cast<CollectableEntity*>(e));
  return items;
}

class StorageComponentTest : public SoldierFixture {
 protected:
  void SetUp() override {
    SoldierFixture::SetUp();
    if (HasFatalFailure()) return;
    std::filesystem::create_directories(m_dir / "models");
    Write("models/crate.model", "<model><bbox min=\"-0.5/-0.5/0\" max=\"0.5/0.5/1.2\"/></model>");
  }
  void TearDown() override {
    Vision::World.ClearTerrain();
    TownManager::CleanInstance();
    SoldierFixture::TearDown();
  }
  StorageComponentProto* StorageOn(VisTypedEngineObject_cl* owner) {
    auto* storage = new StorageComponentProto();
    EXPECT_TRUE(owner->AddComponent(storage));
    return storage;
  }
};

TEST_F(StorageComponentTest, BuildingsShipsAndSoldiersCarryStoragesOtherEntitiesRefuseThem) {
  const struct {
    const char* className;
    bool accepted;
  } cases[] = {{"ShipEntity", true},
               {"SoldierEntity", true},
               {"BuildingBaseEntity", true},
               {"BaseEntity", false},
               {"CollectableEntity", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.className);
    VisBaseEntity_cl* owner = Vision::Game.CreateEntity(c.className, VisVector_cl(0, 0, 0));
    ASSERT_NE(owner, nullptr);
    StorageComponentProto storage;
    VString reason;
    EXPECT_EQ(storage.CanAttachToObject(owner, reason) != 0, c.accepted);
    if (!c.accepted) {
      EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of BuildingBaseEntity or derived classes.");
    }
  }
}

TEST_F(StorageComponentTest, DropCollectableScattersTheFirstItemAtGroundZeroAndAnEmptyStorageDropsNothing) {
  SoldierEntity* owner = MakeSoldier(VisVector_cl(100, 200, 5));
  StorageComponentProto* storage = StorageOn(owner);
  storage->DropCollectable();
  EXPECT_TRUE(Dropped().empty());

  storage->AddCollectable(Item("first"));
  storage->AddCollectable(Item("second"));
  storage->AddCollectable(Item("third"));
  storage->RemoveCollectable(1);
  storage->RemoveCollectable(7);
  ASSERT_EQ(storage->GetCollectableCount(), 2u);
  EXPECT_STREQ(storage->GetCollectable(1)->m_sScreenName.AsChar(), "third");
  EXPECT_EQ(storage->GetCollectable(2), nullptr);

  storage->DropCollectable();
  std::vector<CollectableEntity*> items = Dropped();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_STREQ(items[0]->GetScreenName(), "first");
  EXPECT_EQ(items[0]->GetTraceAccuracy(), VIS_TRACEACC_OBOX);
  EXPECT_EQ(items[0]->GetPosition().z, 0.0f);
  // Ten times a normal deviate: far beyond 100 only by a broken scatter.
  EXPECT_LT(std::abs(items[0]->GetPosition().x - 100.0f), 100.0f);
  EXPECT_LT(std::abs(items[0]->GetPosition().y - 200.0f), 100.0f);
  ASSERT_EQ(storage->GetCollectableCount(), 1u);
  EXPECT_STREQ(storage->GetCollectable(0)->m_sScreenName.AsChar(), "third");
  storage->ClearCollectables();
  EXPECT_EQ(storage->GetCollectableCount(), 0u);
}

TEST_F(StorageComponentTest, DropAllRestsItemsOnTheTerrainAndScattersOnlyWhenThereAreSeveral) {
  Vision::World.SetFlatTerrain(3.0f);
  SoldierEntity* owner = MakeSoldier(VisVector_cl(10, 20, 40));
  StorageComponentProto* storage = StorageOn(owner);
  storage->AddCollectable(Item("alone"));
  storage->DropAllCollectables();
  std::vector<CollectableEntity*> items = Dropped();
  ASSERT_EQ(items.size(), 1u);
  // Half the crate's 1.2 height above the terrain, right where the owner stands.
  EXPECT_FLOAT_EQ(items[0]->GetPosition().z, 3.6f);
  EXPECT_FLOAT_EQ(items[0]->GetPosition().x, 10.0f);
  EXPECT_FLOAT_EQ(items[0]->GetPosition().y, 20.0f);
  EXPECT_EQ(storage->GetCollectableCount(), 0u);
  items[0]->Remove();

  MathTools::SetGaussianRandomState(7);
  for (int i = 0; i < 4; ++i) storage->AddCollectable(Item("pile"));
  storage->DropAllCollectables();
  items = Dropped();
  ASSERT_EQ(items.size(), 4u);
  int moved = 0;
  for (CollectableEntity* item : items) {
    EXPECT_FLOAT_EQ(item->GetPosition().z, 3.6f);
    moved += item->GetPosition().x != 10.0f || item->GetPosition().y != 20.0f;
  }
  EXPECT_EQ(moved, 4);
  EXPECT_EQ(storage->GetCollectableCount(), 0u);
}

TEST_F(StorageComponentTest, TheBlockRoundTripsAndADamagedOneLeavesTheStorageAsItWas) {
  StorageComponentProto saved;
  CollectableEntityTemplate* money = Item("purse");
  money->m_sType = "Money";
  money->m_iMaxValue = 40;
  saved.AddCollectable(money);
  saved.AddCollectable(Item("crate"));
  saved.SetCollectableSource("scripts/Loot.lua");
  const Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { saved.Serialize(ar); });

  StorageComponentProto loaded;
  loaded.AddCollectable(Item("kept"));
  EXPECT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { loaded.Serialize(ar); }));
  ASSERT_EQ(loaded.GetCollectableCount(), 3u) << "read templates are added to those held";
  EXPECT_STREQ(loaded.GetCollectable(1)->m_sType.AsChar(), "Money");
  EXPECT_EQ(loaded.GetCollectable(1)->m_iMaxValue, 40);
  EXPECT_STREQ(loaded.GetCollectable(2)->m_sScreenName.AsChar(), "crate");
  EXPECT_STREQ(loaded.GetCollectableSource().AsChar(), "scripts/Loot.lua");

  // "ARCH" (4 + 4 bytes) and the version byte, then the count.
  const size_t countAt = 9;
  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes hugeCount = bytes;
  hugeCount[countAt] = 0xff;
  hugeCount[countAt + 1] = 0xff;
  hugeCount[countAt + 2] = 0xff;
  hugeCount[countAt + 3] = 0x0f;
  Bytes negative = bytes;
  negative[countAt + 3] = 0x80;
  Bytes cut(bytes.begin(), bytes.end() - 20);
  for (const Case& c : {Case{"count beyond the block", hugeCount}, Case{"negative count", negative},
                        Case{"cut short", cut}}) {
    SCOPED_TRACE(c.what);
    StorageComponentProto untouched;
    untouched.AddCollectable(Item("kept"));
    untouched.SetCollectableSource("old");
    archive_test::LoadBytes(c.bytes, [&](VArchive& ar) { EXPECT_FALSE(untouched.SerializeX(ar)); });
    EXPECT_EQ(untouched.GetCollectableCount(), 1u);
    EXPECT_STREQ(untouched.GetCollectableSource().AsChar(), "old");
  }
}

TEST_F(StorageComponentTest, ScriptsAddCollectablesWithAnOptionalValueRange) {
  SoldierEntity* owner = MakeSoldier();
  StorageComponentProto* storage = StorageOn(owner);
  SetGlobalObject("storage", static_cast<IVObjectComponent*>(storage));
  ASSERT_EQ(Run("storage:AddCollectable('scripts/Money.lua', 5, 25)"), "");
  ASSERT_EQ(Run("storage:AddCollectable('scripts/Rum.lua')"), "");
  ASSERT_EQ(Run("storage:AddCollectable('scripts/Half.lua', 5)"), "");
  // Reached through its owner as scripts find it.
  SetGlobalObject("soldier", static_cast<VisTypedEngineObject_cl*>(owner));
  ASSERT_EQ(Run("soldier:GetComponentOfType('StorageComponentProto'):AddCollectable('scripts/Neg.lua', -2, 9)"), "");
  ASSERT_EQ(storage->GetCollectableCount(), 4u);
  EXPECT_STREQ(storage->GetCollectable(0)->m_sCollectableScriptFile.AsChar(), "scripts/Money.lua");
  EXPECT_EQ(storage->GetCollectable(0)->m_iMinValue, 5);
  EXPECT_EQ(storage->GetCollectable(0)->m_iMaxValue, 25);
  const CollectableEntityTemplate fresh;
  for (unsigned i = 1; i < 4; ++i) {
    EXPECT_EQ(storage->GetCollectable(i)->m_iMinValue, fresh.m_iMinValue) << i;
    EXPECT_EQ(storage->GetCollectable(i)->m_iMaxValue, fresh.m_iMaxValue) << i;
  }
  EXPECT_NE(Run("storage:AddCollectable(3)").find(ArgError(2, "AddCollectable", "Expected const char *")),
            std::string::npos);
  EXPECT_NE(Run("storage.AddCollectable(nil, 'x.lua')")
                .find(ArgError(1, "AddCollectable", "Expected native object of type StorageComponentProto*")),
            std::string::npos);
  EXPECT_EQ(storage->GetCollectableCount(), 4u);
}

TEST_F(StorageComponentTest, AFallingSoldierDropsHisLootAndTownGuardsLowerTheTownsCount) {
  Write("scripts/Town.lua", "iCurrentSoldiers = 0\n");
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  town->SetScript("scripts/Town.lua");
  TownManager::GetInstance()->SetCurrentTown(town);
  const struct {
    const char* soldierScript;
    int before, after;
  } cases[] = {
      {"bTownManaged = true\n", 2, 1},
      {"bTownManaged = true\n", 0, 0},
      {"bTownManaged = false\n", 2, 2},
      {"", 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.soldierScript) + std::to_string(c.before));
    ASSERT_TRUE(town->SetScriptValue("iCurrentSoldiers", c.before));
    SoldierEntity* soldier = MakeSoldier(VisVector_cl(5, 5, 0));
    if (*c.soldierScript) GiveScript(soldier, c.soldierScript);
    soldier->CommonInit();
    StorageComponentProto* storage = StorageOn(soldier);
    storage->AddCollectable(Item("loot"));
    soldier->KillSoldier();
    EXPECT_EQ(storage->GetCollectableCount(), 0u);
    EXPECT_EQ(Dropped().size(), 1u);
    int now = -1;
    ASSERT_TRUE(town->GetScriptValue("iCurrentSoldiers", now));
    EXPECT_EQ(now, c.after);
    // Dead already: no second drop, no second count.
    storage->AddCollectable(Item("late"));
    soldier->KillSoldier();
    EXPECT_EQ(storage->GetCollectableCount(), 1u);
    for (CollectableEntity* item : Dropped()) item->Remove();
    Vision::Game.FreeRemovedEntities();
  }
  // Outside a town a guard's death counts nowhere.
  TownManager::GetInstance()->SetCurrentTown(nullptr);
  SoldierEntity* soldier = MakeSoldier();
  GiveScript(soldier, "bTownManaged = true\n");
  soldier->CommonInit();
  soldier->KillSoldier();
  EXPECT_FALSE(soldier->IsAlive());
}

class SinkingStorageTest : public SeaBattleFixture {};

TEST_F(SinkingStorageTest, ASinkingShipDropsItsStorageOnce) {
  ShipEntity* ship = MakeShip("Wreck", 2, VisVector_cl(30, 40, 0));
  auto* storage = new StorageComponentProto();
  ASSERT_TRUE(ship->AddComponent(storage));
  storage->AddCollectable(Item("gold", ""));
  storage->AddCollectable(Item("rum", ""));
  BattleOf(ship)->StartSinking(1.0f, false);
  EXPECT_EQ(storage->GetCollectableCount(), 0u);
  EXPECT_EQ(Dropped().size(), 2u);
}

}  // namespace
