// The headless land game the land battle tests and the land battle bench run in: the
// data folder, a physics module at a fixed step, the game script bindings and the
// managers a land scene needs, torn down so that the next world starts clean.
// Seeds, terrain and scene are the caller's.
#pragma once

#include "core/GameManager.h"
#include "Managers/NoiseManagerProto.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"

#include <functional>
#include <memory>
#include <vector>

class LandBattleWorld {
 public:
  // Everything up to the terrain or scene; false when the data folder is missing.
  bool Start(float step) {
    Vision::File.RemoveAllDataDirectories();
    if (!Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data")) return false;
    Vision::Timer.SetFixedTimeStep(step);
    m_physics = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(m_physics.get());
    m_physics->SetPhysicsTickCount(60, 8);
    RegisterLuaBindings();
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->OneTimeInit();
    return true;
  }

  void Stop() {
    Vision::LoadWorld(nullptr);
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    Vision::World.ClearTerrain();
    GameManager::GetInstance()->OneTimeDeInit();
    GameManager::CleanInstance();
    SoundManager::CleanInstance();
    RtsManager::GlobalManager().OneTimeDeInit();
    GameSessionManager::CleanInstance();
    NoiseManagerProto::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    ArtifactManager::CleanInstance();
    m_physics.reset();
    vPhysXModule::SetInstance(nullptr);
    Vision::Timer.SetFixedTimeStep(0.0f);
    MathTools::SetGaussianRandomState(0);
    Vision::GetScriptManager()->Reset();
    Vision::File.RemoveAllDataDirectories();
  }

  // A whole engine frame: animations, ragdolls and the end-of-frame callbacks too.
  void Frame() {
    Vision::Timer.Update();
    const float dt = Vision::Timer.GetTimeDifference();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    Vision::Animations.Update(dt);
    m_physics->OnRunPhysics(dt);
    m_physics->FetchPhysicsResults();
    Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
    Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
    Vision::Game.FreeRemovedEntities();
  }

  // Think functions and physics only: enough for orders, paths and spawners.
  void BareFrame(float dt) {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    m_physics->OnRunPhysics(dt);
    m_physics->FetchPhysicsResults();
    Vision::Game.FreeRemovedEntities();
  }

  vPhysXModule* Physics() const { return m_physics.get(); }

  static UnitEntity* FindUnit(const char* key) {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
    return e && e->IsOfType(UnitEntity::GetClassTypeId()) ? static_cast<UnitEntity*>(e) : nullptr;
  }

  // The commanders: a unit whose soldiers all stand idle is sent at the nearest enemy unit.
  static void SendIdleUnitsAtNearestEnemy(const std::vector<UnitEntity*>& units,
                                          const std::function<bool(UnitEntity*)>& alive) {
    for (UnitEntity* unit : units) {
      if (!alive(unit) || unit->GetSoldiers().empty()) continue;
      bool idle = true;
      for (SoldierEntity* s : unit->GetSoldiers()) idle = idle && s->GetStateType() == STATE_IDLE;
      if (!idle) continue;
      UnitEntity* best = nullptr;
      float bestDistance = 1e9f;
      for (UnitEntity* other : units) {
        if (!alive(other) || other->GetNation() == unit->GetNation() || other->GetSoldiers().empty()) continue;
        const float d = other->GetPosition().GetDistance(unit->GetPosition());
        if (d < bestDistance) bestDistance = d, best = other;
      }
      if (best) unit->SetTarget(best);
    }
  }

 private:
  std::unique_ptr<vPhysXModule> m_physics;
};
