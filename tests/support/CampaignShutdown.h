// The end of a test campaign run as the program ends one: the campaign, the
// missions' hooks, the world, then the game's own start-up undone.
#pragma once

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"

#include "engine/Vision.h"

inline void EndCampaignAndStopGame() {
  if (GameSessionManager::HasInstance()) MissionManager::GlobalManager().EndCampaign(false, false);
  MissionManager::GlobalManager().DeregisterCallbacks();
  MissionManager::GlobalManager().ClearLists(true);
  Vision::LoadWorld(nullptr);
  Vision::Game.RemoveAllEntities();
  GameManager::GetInstance()->OneTimeDeInit();
  GameManager::CleanInstance();
  RtsManager::GlobalManager().OneTimeDeInit();
  VisMainApp::CleanInstance();
}

// The campaign's singletons, so the next test starts without them.
inline void CleanCampaignSingletons() {
  GameSessionManager::CleanInstance();
  GameContentManager::CleanInstance();
  WildLifeManager::CleanInstance();
  TownManager::CleanInstance();
  BattleManager::CleanInstance();
  ArtifactManager::CleanInstance();
  TutorialManager::CleanInstance();
  LandRadarManager::CleanInstance();
  AchievementManager::CleanInstance();
  SettingsManager::CleanInstance();
}
