// Artifact and potion effects: activation, the per-frame countdown, and the queries
// the combat code multiplies its values with.
#include "Managers/ArtifactManager.h"

#include "Managers/SaveGameManager.h"
#include "engine/base/VArchive.h"

#include "Managers/PauseManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"

namespace {
// The potion that hides the player's hero from the enemies' sight.
const int kInvisibilityPotion = 33;
}

ArtifactManager::ArtifactManager() { Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this); }

ArtifactManager::~ArtifactManager() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

void ArtifactManager::ActivateArtifact(int id, float duration, float effect, float cooldown) {
  if (duration <= 0.0f) {
    if (!m_permanent.count(id)) m_permanent[id] = Effect{0.0f, effect};
    return;
  }
  if (m_cooldowns.count(id)) return;
  m_timed.clear();
  m_timed[id] = Effect{duration, effect};
  m_cooldowns[id] = Effect{cooldown, effect};
}

void ArtifactManager::ActivatePotion(int id, float duration, float effect) {
  m_potions.clear();
  m_potions[id] = Effect{duration, effect};
}

void ArtifactManager::DisableInvisibility() {
  if (m_potions.count(kInvisibilityPotion)) m_potions.clear();
}

bool ArtifactManager::IsActive(int id) const {
  auto timed = m_timed.find(id);
  if (timed != m_timed.end()) return timed->second.time > 0.0f;
  auto potion = m_potions.find(id);
  if (potion != m_potions.end()) return potion->second.time > 0.0f;
  return m_permanent.count(id) != 0;
}

float ArtifactManager::GetEffect(int id) const {
  for (const std::map<int, Effect>* table : {&m_timed, &m_potions, &m_permanent}) {
    auto it = table->find(id);
    if (it != table->end()) return it->second.effect;
  }
  return 1.0f;
}

void ArtifactManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update(Vision::Timer.GetTimeDifference());
}

void ArtifactManager::Update(float dt) {
  if (PauseManager::GetInstance()->IsAnyPaused()) return;
  for (std::map<int, Effect>* running : {&m_timed, &m_potions}) {
    if (running->empty()) continue;
    Effect& entry = running->begin()->second;
    entry.time -= dt;
    if (entry.time <= 0.0f) running->clear();
  }
  for (auto it = m_cooldowns.begin(); it != m_cooldowns.end(); ++it) {
    if (it->second.time <= 0.0f) {
      m_cooldowns.erase(it);
      break;
    }
    it->second.time -= dt;
  }
}

void ArtifactManager::ResetForNewGame() {
  m_timed.clear();
  m_permanent.clear();
  m_potions.clear();
  m_cooldowns.clear();
}

bool ArtifactManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ArtifactManager", 1);
  if (!block.IsOpen()) return false;
  return block.End();
}
