// Shared set-up of the building component tests: the started GUI over the bundled
// data (building scripts, models, layouts and texts), the player's side with its
// character, and buildings as the stronghold scene places them.
#pragma once

#include "code/gui/GuiFrameTesting.h"

#include "Managers/AchievementManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/Nation.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"

class BuildingFixture : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    for (int i = 0; i < 5; ++i) game->AddNation(new Nation(i, i == 1 ? "Player" : "Other"));
    game->SetLocation(1);
    RtsManager::GlobalManager().OneTimeInit();
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    RtsManager::GlobalManager().OneTimeDeInit();
    MissionManager::GlobalManager().ClearLists(true);
    MissionManager::GlobalManager().UnloadMissionScripts();
    MissionManager::GlobalManager().DeregisterCallbacks();
    TownManager::CleanInstance();
    TutorialManager::CleanInstance();
    AchievementManager::CleanInstance();
    GameSessionManager::CleanInstance();
    GameManager::CleanInstance();
    GuiFrameTest::TearDown();
  }

  // A building of the given script and model at the origin, started as a scene starts it.
  BuildingBaseEntity* MakeBuilding(const char* script, const char* model) {
    auto* building = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity(
        "BuildingBaseEntity", VisVector_cl(0, 0, 0), model, (std::string("m_sBuildingScript=\"") + script + "\"").c_str()));
    return building;
  }

  // A unit of the player at x on the x axis: the player's character, a hero or a plain unit.
  enum UnitKind { CHARACTER, HERO, PLAIN };
  UnitEntity* MakeUnit(UnitKind kind, float x) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(x, 0, 0), nullptr,
                                                                    "m_iNation=\"1\",m_iNumSoldiers=\"1\""));
    if (kind == CHARACTER) unit->SetEntityKey("PlayerCharacter");
    unit->SetIsHero(kind == HERO);
    Player* player = RtsManager::GlobalManager().GetPlayer();
    player->UnitRemoved(unit);
    player->AddPlayerUnit(unit);
    return unit;
  }

  // The unit leaves the player's side and the scene.
  static void RemoveUnit(UnitEntity* unit) {
    RtsManager::GlobalManager().GetPlayer()->UnitRemoved(unit);
    unit->Remove();
    Vision::Game.FreeRemovedEntities();
  }

  static void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      Vision::Timer.Update();
      Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    }
  }

  static bool Highlighted(VisBaseEntity_cl* entity) {
    return VEntityHighlightManager::HasInstance() && VEntityHighlightManager::GetInstance()->IsHighlighted(entity);
  }
};
