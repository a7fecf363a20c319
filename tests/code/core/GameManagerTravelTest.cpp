// GameManager's travel: teleports by name, the nearest town and its entry, the
// town's highlight across a scene unload, the lights' phases on a scene load, the
// ship upgrades.
#include "core/GameManager.h"

#include "Managers/AchievementManager.h"
#include "Managers/BattleManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"
#include "engine/core/VisLightSource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kTownScript[] = R"(
bIsAccessible = true
bFound = false
fEnteringDistance = 100
iSceneType = 2
iMaxCollectables = 3
sSceneFile = "scenes\\cove\\cove.vscene"
iFoundCalls = 0
function OnFound(town)
  iFoundCalls = iFoundCalls + 1
  bFound = true
end
)";

class GameManagerTravelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data = std::make_unique<ScratchDataFolder>();
    data->Write("scenes/cove/cove.vscene", "<scene/>\n");
    data->Write("scenes/world01/World.vscene", "<scene/>\n");
    data->Write("scripts/towns/test_town.lua", kTownScript);
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::Timer.SetFixedTimeStep(0.1f);
    Vision::Timer.Update();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    RtsManager::GlobalManager().OneTimeInit();
    gm = GameManager::GetInstance();
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    GameManager::CleanInstance();
    RtsManager::GlobalManager().OneTimeDeInit();
    for (void (*clean)() : {&PauseManager::CleanInstance, &SaveGameManagerProto::CleanInstance,
                            &TutorialManager::CleanInstance, &GameSessionManager::CleanInstance,
                            &TownManager::CleanInstance, &BattleManager::CleanInstance,
                            &SpeechManager::CleanInstance, &FogOfWarManager::CleanInstance,
                            &AchievementManager::CleanInstance, &WildLifeManager::CleanInstance,
                            &SoundManager::CleanInstance})
      clean();
    Vision::World.UnloadWorld();
    Vision::Timer.SetFixedTimeStep(0.0f);
    data.reset();
  }

  // The player's ship at the world map, at the origin.
  ShipEntity* MakePlayerShip() {
    gm->AddNation(new Nation(0, "Neutral"));
    gm->AddNation(new Nation(1, "Player"));
    playerStats.SetPlayerShip(true);
    ShipEntity* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
    ship->SetStats(&playerStats);
    gm->GetNation(1u)->AddShip(ship);
    gm->SetLocation(0);
    return ship;
  }
  TownEntity* MakeTown(const char* key, const VisVector_cl& at, const char* className = "TownEntity") {
    TownEntity* town = static_cast<TownEntity*>(Vision::Game.CreateEntity(className, at));
    town->SetEntityKey(key);
    town->SetScript("scripts/towns/test_town.lua");
    return town;
  }
  static int FoundCalls(TownEntity* town) {
    int calls = -1;
    town->GetScriptValue("iFoundCalls", calls);
    return calls;
  }

  std::unique_ptr<ScratchDataFolder> data;
  GameManager* gm = nullptr;
  ShipStats playerStats;
};

// Teleport ------------------------------------------------------------------------

struct TeleportCase {
  const char* name;
  const char* scene;
  int location;
};

TEST_F(GameManagerTravelTest, TeleportNamesPickTheSceneFileAndItsLocation) {
  // The world map is a sea scene: location 0, also when reached as "-sea".
  const TeleportCase cases[] = {
      {"cove-sea", "scenes\\cove\\cove.vscene", 2},
      {"cove", "scenes\\cove\\cove.vscene", 1},
      {"world", "scenes\\world01\\World.vscene", 0},
      {"world01-sea", "scenes\\world01\\World.vscene", 0},
  };
  for (const TeleportCase& c : cases) {
    LogCapture log;
    gm->Teleport(c.name);
    const std::string expected =
        "Teleport(" + std::string(c.name) + "): scene " + c.scene + " at location " + std::to_string(c.location);
    EXPECT_EQ(log.Matching(expected).size(), 1u) << c.name;
  }
}

TEST_F(GameManagerTravelTest, AnUnknownNameChangesNothingAndTheUpdateDropsIt) {
  ShipEntity* ship = MakePlayerShip();
  gm->SetPlayTheGame(true);
  LogCapture log;
  gm->SetTeleportTarget("nowhere-sea");
  Vision::Timer.Update();
  gm->Update();
  EXPECT_TRUE(gm->GetCurrentTeleportTarget().IsEmpty());
  EXPECT_EQ(log.Matching("no scene scenes\\nowhere\\nowhere.vscene").size(), 1u);
  EXPECT_FALSE(log.Contains("at location"));
  EXPECT_EQ(gm->GetLocation(), 0);
  EXPECT_TRUE(gm->IsPlayingTheGame());
  EXPECT_FLOAT_EQ(ship->GetPosition().x, 0.0f);
}

// Where an entity stood as it was destroyed.
struct LastPosition : IVisCallbackHandler_cl {
  explicit LastPosition(VisBaseEntity_cl* e) : entity(e) { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }
  ~LastPosition() override { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == entity) position = entity->GetPosition();
  }
  VisBaseEntity_cl* entity;
  VisVector_cl position{0, 0, 0};
};

TEST_F(GameManagerTravelTest, TeleportToATownPutsTheShip25BehindItAndLoadsItsScene) {
  ShipEntity* ship = MakePlayerShip();
  LastPosition last(ship);
  MakeTown("Cove", VisVector_cl(100, 50, 0));
  LogCapture log;
  gm->Teleport("Cove");
  // The ship left with the world map, from the point it was moved to.
  EXPECT_FLOAT_EQ(last.position.x, 75.0f);
  EXPECT_FLOAT_EQ(last.position.y, 50.0f);
  EXPECT_TRUE(RtsManager::GlobalManager().IsFogOfWar());
  EXPECT_EQ(log.Matching("to town Cove, scene scenes\\cove\\cove.vscene (type 2)").size(), 1u);
}

// Nearest town and town entry --------------------------------------------------------

TEST_F(GameManagerTravelTest, ANewNearestTownIsHighlightedAndFoundOnceAndEnteredWithinItsDistance) {
  MakePlayerShip();
  TownEntity* town = MakeTown("Cove", VisVector_cl(100, 0, 0));
  gm->SetPlayTheGame(true);
  BattleManager::GetInstance();
  VEntityHighlightManager* highlights = VEntityHighlightManager::GetInstance();
  LogCapture log;

  // "fEnteringDistance" 100 is compared with the squared distance: 11 and 10 units
  // away stay outside, 9.9 enters.
  gm->OnNearestTown(town, VisVector_cl(100, 11, 0));
  EXPECT_EQ(gm->GetNearestTown(), town);
  EXPECT_TRUE(highlights->IsHighlighted(town));
  EXPECT_EQ(FoundCalls(town), 1);
  gm->OnNearestTown(town, VisVector_cl(100, 10, 0));
  EXPECT_EQ(FoundCalls(town), 1);
  EXPECT_TRUE(BattleManager::HasInstance());
  EXPECT_FALSE(log.Contains("to town"));

  gm->OnNearestTown(town, VisVector_cl(100, 9.9f, 0));
  EXPECT_EQ(log.Matching("to town Cove, scene scenes\\cove\\cove.vscene (type 2)").size(), 1u);
  // The game stopped for the change of scene and runs again.
  EXPECT_TRUE(gm->IsPlayingTheGame());
  EXPECT_TRUE(RtsManager::GlobalManager().IsFogOfWar());

  // Leaving it takes the highlight away.
  gm->OnNearestTown(nullptr, VisVector_cl(0, 0, 0));
  EXPECT_EQ(gm->GetNearestTown(), nullptr);
  EXPECT_FALSE(highlights->IsHighlighted(town));
}

TEST_F(GameManagerTravelTest, AClosedOrHiddenTownIsNotEntered) {
  TownEntity* closed = MakeTown("Closed", VisVector_cl(0, 0, 0));
  closed->SetAccessible(false);
  TownEntity* hidden = MakeTown("Hidden", VisVector_cl(0, 0, 0));
  hidden->SetVisibleBitmask(0);
  gm->SetPlayTheGame(true);
  LogCapture log;
  gm->OnNearestTown(closed, VisVector_cl(0, 0, 0));
  EXPECT_FALSE(VEntityHighlightManager::GetInstance()->IsHighlighted(closed));
  gm->OnNearestTown(hidden, VisVector_cl(0, 0, 0));
  EXPECT_TRUE(VEntityHighlightManager::GetInstance()->IsHighlighted(hidden));
  EXPECT_FALSE(VEntityHighlightManager::GetInstance()->IsHighlighted(closed));
  EXPECT_FALSE(log.Contains("to town"));
}

TEST_F(GameManagerTravelTest, AStrongholdHasFogOfWarOnlyUnderANationOfTypeThree) {
  Nation* neutral = new Nation(0, "Neutral");
  gm->AddNation(neutral);
  TownEntity* stronghold = MakeTown("Keep", VisVector_cl(0, 0, 0), "StrongholdEntity");
  stronghold->SetNation(0);
  RtsManager::GlobalManager().SetFogOfWar(true);
  gm->OnNearestTown(stronghold, VisVector_cl(0, 0, 0));
  EXPECT_FALSE(RtsManager::GlobalManager().IsFogOfWar());
}

TEST_F(GameManagerTravelTest, UnloadingTheSceneDropsTheNearestTownAndItsHighlight) {
  TownEntity* town = MakeTown("Cove", VisVector_cl(100, 0, 0));
  gm->SetLocation(0);
  gm->OnNearestTown(town, VisVector_cl(0, 0, 0));
  ASSERT_TRUE(VEntityHighlightManager::GetInstance()->IsHighlighted(town));
  IVisCallbackDataObject_cl unloading(&Vision::Callbacks.OnWorldDeInit);
  gm->OnHandleCallback(&unloading);
  EXPECT_EQ(gm->GetNearestTown(), nullptr);
  EXPECT_FALSE(VEntityHighlightManager::GetInstance()->IsHighlighted(town));
}

TEST_F(GameManagerTravelTest, ANearestTownFreedWithoutASceneUnloadIsForgotten) {
  TownEntity* town = MakeTown("Cove", VisVector_cl(100, 0, 0));
  gm->SetPlayTheGame(true);
  gm->OnNearestTown(town, VisVector_cl(0, 0, 0));
  ASSERT_EQ(gm->GetNearestTown(), town);
  town->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(gm->GetNearestTown(), nullptr);
}

// Scene load -----------------------------------------------------------------------

TEST_F(GameManagerTravelTest, ASceneLoadGivesAnimatedLightsAPhase) {
  auto* animated = new VisLightSource_cl();
  animated->SetColorAnimation({VisVector_cl(1, 0, 0), VisVector_cl(0, 0, 1)}, 2.0f);
  animated->SetColorAnimationPhase(-1.0f);
  auto* plain = new VisLightSource_cl();
  Vision::World.AddLightSource(animated);
  Vision::World.AddLightSource(plain);
  IVisCallbackDataObject_cl loaded(&Vision::Callbacks.OnAfterSceneLoaded);
  gm->OnHandleCallback(&loaded);
  EXPECT_GE(animated->GetColorAnimationPhase(), 0.0f);
  EXPECT_LE(animated->GetColorAnimationPhase(), 1.0f);
  EXPECT_EQ(animated->GetVisibilityZone(), -1);
  EXPECT_EQ(plain->GetColorAnimationPhase(), 0.0f);
  EXPECT_EQ(plain->GetVisibilityZone(), 0);
  Vision::World.RemoveAllLightSources();
}

// Ship upgrades --------------------------------------------------------------------

TEST_F(GameManagerTravelTest, UpgradesChangeTheShipyardsSelectedShip) {
  ShipStats ship;
  ship.GetHull().SetMaximum(200);
  ship.GetHull().SetCurrent(120);
  ship.GetSails().SetMaximum(80);
  ship.GetSails().SetCurrent(10);
  GameSessionManager::GetInstance()->SetSelectedShipAtShipYard(&ship);
  gm->UpgradeShipSpeed(0.25f);
  gm->UpgradeShipManeuverability(0.5f);
  gm->UpgradeShipCannonDamage(0.75f);
  gm->UpgradeShipCannonRange(0.125f);
  gm->UpgradeShipCannonLoadingTime(0.25f);
  gm->UpgradeShipDurability(50, 0);
  EXPECT_FLOAT_EQ(ship.GetSpeedMultiplier(), 1.25f);
  EXPECT_FLOAT_EQ(ship.GetTurnMultiplier(), 1.5f);
  EXPECT_FLOAT_EQ(ship.GetDamageFactor(), 1.75f);
  // Range and loading time go down.
  EXPECT_FLOAT_EQ(ship.GetBallFlightFactor(), 0.875f);
  EXPECT_FLOAT_EQ(ship.GetReloadFactor(), 0.75f);
  EXPECT_EQ(ship.GetHull().GetMaximum(), 250);
  EXPECT_EQ(ship.GetHull().GetCurrent(), 250);
  EXPECT_EQ(ship.GetSails().GetCurrent(), 80);

  // A maximum that falls below zero leaves the current points alone.
  gm->UpgradeShipDurability(-300, 0);
  EXPECT_EQ(ship.GetHull().GetMaximum(), -50);
  EXPECT_EQ(ship.GetHull().GetCurrent(), 250);
  GameSessionManager::GetInstance()->SetSelectedShipAtShipYard(nullptr);

  // Without a selected or a player ship nothing is upgraded.
  gm->UpgradeShipDurability(50, 50);
  gm->UpgradeShipSpeed(1.0f);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayerControlledShip(), nullptr);
}

TEST_F(GameManagerTravelTest, TheUpdateEntersTheNearestWorldTownWithinItsDistance) {
  ShipEntity* ship = MakePlayerShip();
  TownEntity* town = MakeTown("Cove", VisVector_cl(40, 0, 0));
  TownManager::GetInstance()->Initialize();
  gm->SetPlayTheGame(true);
  LogCapture log;
  // At sea scenes other than the world map towns are looked for within 30 only.
  gm->SetLocation(2);
  Vision::Timer.Update();
  gm->Update();
  EXPECT_EQ(gm->GetNearestTown(), nullptr);
  gm->SetLocation(0);
  gm->Update();
  EXPECT_EQ(gm->GetNearestTown(), town);
  EXPECT_EQ(FoundCalls(town), 1);
  EXPECT_FALSE(log.Contains("to town"));
  ship->SetPosition(VisVector_cl(35, 0, 0));
  gm->Update();
  EXPECT_EQ(log.Matching("to town Cove").size(), 1u);
}

TEST_F(GameManagerTravelTest, NearAnyTownIsAskedAgainOnlyEveryHalfSecond) {
  ShipEntity* ship = MakePlayerShip();
  MakeTown("Cove", VisVector_cl(40, 0, 0))->SetAccessible(false);
  TownManager::GetInstance()->Initialize();
  gm->SetPlayTheGame(true);
  Vision::Timer.SetFixedTimeStep(0.3f);
  Vision::Timer.Update();
  gm->Update();
  // The first half second keeps the answer the game started with.
  EXPECT_FALSE(gm->IsPlayerNearAnyTown());
  gm->Update();
  EXPECT_TRUE(gm->IsPlayerNearAnyTown());
  ship->SetPosition(VisVector_cl(500, 0, 0));
  gm->Update();
  EXPECT_TRUE(gm->IsPlayerNearAnyTown());
  gm->Update();
  EXPECT_FALSE(gm->IsPlayerNearAnyTown());
}

TEST_F(GameManagerTravelTest, NoTownIsNearWithoutAPlayerShip) {
  Vision::Timer.SetFixedTimeStep(0.6f);
  Vision::Timer.Update();
  gm->SetPlayTheGame(true);
  gm->Update();
  EXPECT_FALSE(gm->IsPlayerNearAnyTown());
}

}  // namespace
