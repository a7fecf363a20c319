// The content manager: its content script, loaded once, and the NPC ships it hands
// back to the campaign when a scene is left; how many ships it asks the script for;
// the random collectables at sea, placed anew when picked up, dropped with the
// world map and saved with the game.
#include "support/ArchiveRoundTrip.h"
#include "support/ScopedEnv.h"
#include "support/ShipTestWorld.h"

#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "util/MathTools.h"

#include <sstream>

namespace {

using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

class GameContentManagerTest : public ShipTestWorld {
 protected:
  void TearDown() override {
    MathTools::SetUseFixedRandom(false);
    MathTools::SetTestRandReturnMax(false);
    Vision::Game.RemoveAllEntities();
    GameContentManager::CleanInstance();
    JokeManager::CleanInstance();
    documents.reset();
    ShipTestWorld::TearDown();
  }

  // A content script that counts the ships it is asked for.
  GameContentManager* CountingContent() {
    Write("scripts/ContentScript.lua", "spawns = 0\nfunction SpawnNPCShip() spawns = spawns + 1 end");
    GameContentManager::CleanInstance();
    GameContentManager* content = GameContentManager::GetInstance();
    content->SetShipUpdateEnabled(1);
    GameManager::GetInstance()->SetLocation(0);
    return content;
  }
  static int Spawns(GameContentManager* content) {
    int n = -1;
    content->GetContentScript()->GetGlobal("spawns", n);
    return n;
  }

  // A game script naming a sea treasure and a message bottle, and jokes for the bottles.
  GameContentManager* SeaContent(int jokes) {
    documents = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", m_dir.c_str());
    Write("scripts/treasure.lua", "function OnCreate(self) self:SetKey('SeaTreasure') end");
    Write("scripts/bottle.lua", "function OnCreate(self) self:SetKey('MessageBottle') end");
    Write("scripts/game.lua",
          "function GetRandomSeaCollectableScript(nation, rarity) return 'scripts/treasure.lua' end\n"
          "function GetCollectableScript(id) if id == 37 then return 'scripts/bottle.lua' end return '' end\n");
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/game.lua"));
    std::ostringstream text;
    for (int i = 0; i < jokes; ++i) text << "Joke " << i << "\n";
    std::istringstream in(text.str());
    LocalizationTable::GetInstance()->ReadJokes(in);
    JokeManager::GetInstance()->Initialize();
    GameContentManager::CleanInstance();
    GameManager::GetInstance()->SetLocation(0);
    return GameContentManager::GetInstance();
  }

  // How many random collectables of the key the world holds.
  static int Floating(const char* key) {
    VisEntityCollection_cl found;
    return Vision::Game.SearchEntity(key, found);
  }

  std::unique_ptr<ScopedEnv> documents;
};

TEST_F(GameContentManagerTest, TheContentScriptIsLoadedOnceWhenTheGameHasOne) {
  // Only the scratch folder: a game without a content script has none.
  Vision::File.RemoveAllDataDirectories();
  ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
  GameContentManager::CleanInstance();
  EXPECT_EQ(GameContentManager::GetInstance()->GetContentScript(), nullptr);
  GameContentManager::CleanInstance();

  Write("scripts/ContentScript.lua", "loads = (loads or 0) + 1");
  GameContentManager* content = GameContentManager::GetInstance();
  IVScriptInstance* script = content->GetContentScript();
  ASSERT_NE(script, nullptr);
  content->Initialize();
  EXPECT_EQ(content->GetContentScript(), script);
  int loads = 0;
  EXPECT_TRUE(script->GetGlobal("loads", loads));
  EXPECT_EQ(loads, 1);
}

TEST_F(GameContentManagerTest, LeavingASceneTakesTheNPCShipsOutOfTheCampaign) {
  GameSessionManager* session = GameSessionManager::GetInstance();
  GameContentManager* content = GameContentManager::GetInstance();
  ShipEntity* ship = MakeSloop("Wolf", 2);
  ASSERT_NE(ship, nullptr);
  session->AddShip(ship);
  content->AddNPCShip(ship);
  const int before = session->GetNPCShipCount();
  ASSERT_GE(before, 1);

  content->DeInitialize();
  EXPECT_EQ(content->GetNPCShipCount(), 0);
  EXPECT_FALSE(content->HasNPCShip(ship));
  EXPECT_EQ(session->GetNPCShipCount(), before - 1);
  EXPECT_EQ(ship->GetStats(), nullptr);
}

TEST_F(GameContentManagerTest, TheScriptIsAskedForShipsOnlyWhereThereIsRoom) {
  ShipEntity* first = MakeSloop("Wolf", 2);
  ShipEntity* second = MakeSloop("Fox", 2, VisVector_cl(100, 0, 0));
  // (alive, maximum, spawn count) -> the fewest and the most ships one interval asks for.
  const struct {
    int alive, maximum, spawnCount, fewest, most;
  } cases[] = {
      {2, 2, 1, 0, 0},   // full: none
      {1, 2, 1, 0, 0},   // one free place: the random count is always 0
      {0, 10, 1, 0, 1},  // spawn count 1: 0 or 1
      {0, 10, 3, 0, 3},
  };
  for (const auto& c : cases) {
    for (bool most : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.alive << " of " << c.maximum << ", spawn " << c.spawnCount);
      GameContentManager* content = CountingContent();
      if (c.alive > 0) content->AddNPCShip(first);
      if (c.alive > 1) content->AddNPCShip(second);
      content->SetMaxShipCount(c.maximum);
      content->SetShipSpawnCount(c.spawnCount);
      MathTools::SetUseFixedRandom(true);
      MathTools::SetTestRandReturnMax(most);
      content->Tick(59.5f);
      EXPECT_EQ(Spawns(content), 0);
      content->Tick(0.5f);
      EXPECT_EQ(Spawns(content), most ? c.most : c.fewest);
      EXPECT_FLOAT_EQ(content->GetShipUpdateTimer(), 0.0f);
    }
  }
}

TEST_F(GameContentManagerTest, DuringASeaBattleShipsComeEveryFiveIntervalsAndOneAtATime) {
  GameContentManager* content = CountingContent();
  content->SetShipSpawnCount(5);
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);
  BattleManager::GetInstance()->StartBattle();
  ASSERT_TRUE(BattleManager::GetInstance()->IsBattleActive());
  content->Tick(299.0f);
  EXPECT_EQ(Spawns(content), 0);
  content->Tick(1.0f);
  EXPECT_EQ(Spawns(content), 1);

  // Off the world map, switched off or paused nothing counts.
  BattleManager::GetInstance()->EndBattle();
  const float timer = content->GetShipUpdateTimer();
  GameManager::GetInstance()->SetLocation(2);
  content->Tick(100.0f);
  GameManager::GetInstance()->SetLocation(0);
  content->SetShipUpdateEnabled(0);
  content->Tick(100.0f);
  content->SetShipUpdateEnabled(1);
  PauseManager::GetInstance()->SetGamePause(true);
  content->Tick(100.0f);
  EXPECT_FLOAT_EQ(content->GetShipUpdateTimer(), timer);
  EXPECT_EQ(Spawns(content), 1);
}

TEST_F(GameContentManagerTest, APickedUpTreasureOrBottleFloatsUpElsewhereWhileJokesLast) {
  GameContentManager* content = SeaContent(2);
  ASSERT_EQ(content->GetMessageBottlesLeft(), 2);
  // Far from the items (all at the origin without a navigation map): only the test picks up.
  ShipEntity* ship = MakeSloop("Player", 1, VisVector_cl(1000, 0, 0), 0.0f, true);
  CollectableEntity* treasure = content->AddRandomCollectable(0.0f, false);
  CollectableEntity* bottle = content->AddRandomCollectable(0.0f, true);
  ASSERT_NE(treasure, nullptr);
  ASSERT_NE(bottle, nullptr);
  EXPECT_TRUE(treasure->IsRandomCollectable());
  EXPECT_EQ(content->GetMessageBottlesLeft(), 1);

  for (CollectableEntity* item : {treasure, bottle}) {
    const std::string key = item->GetObjectKey();
    item->Collect(ship);
    EXPECT_TRUE(item->DoCollect());
    Vision::Game.FreeRemovedEntities();
    EXPECT_EQ(Floating(key.c_str()), 1) << key;
    EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayerCollectableCountByName(key.c_str()), 1) << key;
  }
  EXPECT_EQ(content->GetRandomCollectableCount(), 2);
  EXPECT_EQ(content->GetMessageBottlesLeft(), 0);

  // The last joke's bottle brings none after it; a plain item simply goes.
  CollectableEntity* last = content->GetRandomCollectableEntity(1);
  ASSERT_STREQ(last->GetObjectKey(), "MessageBottle");
  last->Collect(ship);
  last->DoCollect();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Floating("MessageBottle"), 0);
  EXPECT_EQ(content->GetRandomCollectableCount(), 1);
  auto* plain = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl()));
  plain->m_bCarriable = 0;
  plain->Collect(ship);
  plain->DoCollect();
  EXPECT_TRUE(plain->IsMarkedRemoved());
}

TEST_F(GameContentManagerTest, TheWorldMapsCollectablesGoWithItAndComeBackWhereTheyWere) {
  GameContentManager* content = SeaContent(0);
  // Without jokes no bottle is made.
  EXPECT_EQ(content->AddRandomCollectable(0.0f, true), nullptr);
  CollectableEntity* treasure = content->AddRandomCollectable(0.0f, false);
  ASSERT_NE(treasure, nullptr);
  treasure->SetPosition(VisVector_cl(120, -40, 0));
  content->GetRandomCollectableTemplate(0)->m_vPosition = treasure->GetPosition();

  GameManager::GetInstance()->SetLocation(2);
  Vision::Game.RemoveAllEntities();
  content->Initialize();
  EXPECT_EQ(content->GetRandomCollectableEntity(0), nullptr);
  EXPECT_EQ(Floating("SeaTreasure"), 0);

  GameManager::GetInstance()->SetLocation(0);
  content->Initialize();
  CollectableEntity* again = content->GetRandomCollectableEntity(0);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->GetPosition().IsEqual(VisVector_cl(120, -40, 0), 1e-4f));
  EXPECT_STREQ(again->GetObjectKey(), "SeaTreasure");
  EXPECT_TRUE(again->IsRandomCollectable());
}

TEST_F(GameContentManagerTest, TheBlockCarriesTheSettingsAndTheCollectablesAndADamagedOneChangesNothing) {
  GameContentManager* content = SeaContent(0);
  content->SetShipUpdateEnabled(1);
  content->SetShipUpdateInterval(45.0f);
  content->SetMaxShipCount(7);
  content->Tick(12.0f);
  ASSERT_NE(content->AddRandomCollectable(0.0f, false), nullptr);
  ASSERT_NE(content->AddRandomCollectable(0.0f, false), nullptr);
  const Bytes written = SaveBytes([&](VArchive& ar) { content->SerializeX(ar); });

  GameContentManager::CleanInstance();
  Vision::Game.RemoveAllEntities();
  GameContentManager* fresh = GameContentManager::GetInstance();
  ASSERT_TRUE(LoadBytes(written, [&](VArchive& ar) { EXPECT_TRUE(fresh->SerializeX(ar)); }));
  EXPECT_EQ(SaveBytes([&](VArchive& ar) { fresh->SerializeX(ar); }), written);
  EXPECT_EQ(fresh->GetRandomCollectableCount(), 2);
  EXPECT_EQ(Floating("SeaTreasure"), 2);

  // Cut short inside the second stored collectable: what runs stays.
  Bytes cut(written.begin(), written.end() - 40);
  {
    archive_test::ReadArchive ar(cut);
    EXPECT_FALSE(fresh->SerializeX(*ar));
  }
  EXPECT_EQ(SaveBytes([&](VArchive& ar) { fresh->SerializeX(ar); }), written);
  EXPECT_EQ(Floating("SeaTreasure"), 2);
}

TEST_F(GameContentManagerTest, TheScriptTableTriesTheRadiusThenOnceWithout) {
  GameContentManager* content = SeaContent(1);
  // No navigation map: every place is the origin, too near the others for a radius of
  // 50; the last try's place is taken all the same.
  ASSERT_EQ(Run("first = GameContentManager.AddRandomCollectable()"), "");
  EXPECT_EQ(content->GetRandomCollectableCount(), 1);
  ASSERT_EQ(Run("second = GameContentManager.AddRandomCollectable(50)\n"
                "bottle = GameContentManager.AddRandomBottleToSea(50)\n"
                "none = GameContentManager.AddRandomBottleToSea()"),
            "");
  EXPECT_EQ(content->GetRandomCollectableCount(), 3);
  EXPECT_EQ(String("second:GetKey()"), "SeaTreasure");
  EXPECT_EQ(String("bottle:GetKey()"), "MessageBottle");
  EXPECT_EQ(String("tostring(none)"), "nil");
}

}  // namespace
