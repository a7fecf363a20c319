// The common start and end of a naval scenario, shared by the ship tests and the
// sea-battle benchmark: a seeded fixed-step clock, three nations with the player's
// at war, and the clean-up of the managers a battle brings up.
#pragma once

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/MusicManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "core/GameManager.h"
#include "entities/Nation.h"

#include "engine/Vision.h"

namespace naval_scenario {

// A seeded random source and engine frames of a fixed step, until EndFixedStep.
inline void StartFixedStep(unsigned seed, float step) {
  VSeedRandom(seed);
  Vision::Timer.Reset();
  Vision::Timer.SetFixedTimeStep(step);
}

inline void EndFixedStep() {
  Vision::Timer.SetFixedTimeStep(0.0f);
  Vision::Timer.Reset();
}

// One engine frame of the fixed step: scene update, think pass, physics callbacks
// (without a physics step) and the freeing of removed entities.
inline void Frame() {
  Vision::Timer.Update();
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  Vision::Game.RunThinkFunctions();
  Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
  Vision::Game.FreeRemovedEntities();
}

// Nations 0 to 2 under the given names, 1 (the player's) and 2 at war with each
// other, and the sea as the location.
inline void AddWarringNations(const char* neutral, const char* enemy) {
  GameManager* game = GameManager::GetInstance();
  game->ResetNations();
  game->AddNation(new Nation(0, neutral));
  game->AddNation(new Nation(1, "Player"));
  game->AddNation(new Nation(2, enemy));
  game->GetNation(1)->AddEnemy(2);
  game->GetNation(2)->AddEnemy(1);
  game->SetLocation(2);
}

// The game manager with its nations and the managers a battle brings up.
inline void CleanBattleManagers() {
  GameManager::CleanInstance();
  BattleManager::CleanInstance();
  AchievementManager::CleanInstance();
  ArtifactManager::CleanInstance();
  PauseManager::CleanInstance();
  GameSessionManager::CleanInstance();
  NoiseManagerProto::CleanInstance();
  MusicManager::CleanInstance();
  SoundManager::CleanInstance();
}

}  // namespace naval_scenario
