// The end of a test campaign run as the program ends one: the campaign, the
// missions' hooks, the world, then the game's own start-up undone.
#pragma once

#include "Managers/GameSessionManager.h"
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
