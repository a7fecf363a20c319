// Birds and other animals of the world map and sea scenes.
#include "Managers/WildLifeManager.h"

#include "core/GameManager.h"
#include "entities/AnimalEntity.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisCallbacks.h"

namespace {
const char* const kDefaultBirdScript = "scripts\\fauna\\default_bird.lua";

bool AttachScript(AnimalEntity* bird, const char* file) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->CreateScriptInstanceFromFile(file, bird) : nullptr;
  if (!script) return false;
  scripts->SetScriptInstance(bird, script);
  return true;
}
}  // namespace

// The birds belong to the scene: they go when it unloads.
WildLifeManager::WildLifeManager() {
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
}

WildLifeManager::~WildLifeManager() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
}

void WildLifeManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i)
      if (gone && static_cast<VisBaseEntity_cl*>(m_birds.Get(i)) == gone) m_birds[i] = nullptr;
    return;
  }
  ClearEntities();
}

void WildLifeManager::AddBird(AnimalEntity* bird) {
  if (!bird) return;
  bird->SetCastShadows(true);
  bird->SetVisibleBitmask(0xffffffffu);
  m_birds.Insert(bird);
}

AnimalEntity* WildLifeManager::GetAnimalFromRange(VisBaseEntity_cl* place, float range, const char* key) const {
  if (!place) return nullptr;
  const VisVector_cl& at = place->GetPosition();
  for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i) {
    AnimalEntity* bird = m_birds.Get(i);
    if (!bird || !bird->HasObjectKey(key)) continue;
    const float dx = bird->GetPosition().x - at.x, dy = bird->GetPosition().y - at.y;
    if (dx * dx + dy * dy <= range * range) return bird;
  }
  return nullptr;
}

void WildLifeManager::ClearEntities() {
  for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i)
    if (AnimalEntity* bird = m_birds.Get(i))
      if (!bird->IsMarkedRemoved()) bird->Remove();
  m_birds.Reset();
}

void WildLifeManager::ResetAnimals() {
  for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i)
    if (AnimalEntity* bird = m_birds.Get(i)) bird->SetTarget(nullptr);
}

AnimalEntity* WildLifeManager::CreateBird(const char* script) {
  if (!script) return nullptr;
  const float x = MathTools::RandomFloat() * 4000.0f - 2000.0f;
  const float y = MathTools::RandomFloat() * 4000.0f - 2000.0f;
  const float z = MathTools::RandomFloat() * 4.0f + 28.0f;
  return CreateBird(script, VisVector_cl(x, y, z));
}

AnimalEntity* WildLifeManager::CreateBird(const char* script, const VisVector_cl& position) {
  if (!script) return nullptr;
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("AnimalEntity", position);
  if (!entity) return nullptr;
  AnimalEntity* bird = static_cast<AnimalEntity*>(entity);
  if (!AttachScript(bird, script) && !AttachScript(bird, kDefaultBirdScript))
    Vision::Error.Warning("WildLifeManager: neither \"%s\" nor \"%s\" could be attached to a bird", script,
                          kDefaultBirdScript);
  AddBird(bird);
  return bird;
}
