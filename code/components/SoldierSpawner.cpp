// The guard post's trigger links and pending soldiers.
#include "components/SoldierSpawner.h"

#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisTriggerSourceComponent.h"
#include "engine/core/VisTriggerTargetComponent.h"

#include <cstring>

namespace {

const char kPositionsVersion = 2;
const int kMaxPositions = 10000;
const int kVectorBytes = 16;

template <class T>
T* FindOrAddNamed(VisTypedEngineObject_cl* object, const char* name) {
  for (int i = 0; i < object->GetComponentCount(); ++i) {
    auto* c = dynamic_cast<T*>(object->GetComponent(i));
    if (c && c->GetComponentName() && std::strcmp(c->GetComponentName(), name) == 0) return c;
  }
  auto* made = new T(name);
  if (object->AddComponent(made)) return made;
  delete made;
  return nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(SoldierSpawner, SpawnerBaseComponent)

SoldierSpawner::~SoldierSpawner() { DeInitFunction(); }

int SoldierSpawner::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!SpawnerBaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType("BuildingBaseEntity")) return 1;
  reason = "Component can only be added to instances of BuildingBaseEntity or derived classes.";
  return 0;
}

void SoldierSpawner::InitFunction() {
  SpawnerBaseComponent::InitFunction();
  if (!m_bSceneListening) {
    m_bSceneListening = true;
    Vision::Callbacks.OnAfterSceneLoaded.RegisterCallback(this);
  }
  SetupTriggers();
}

void SoldierSpawner::DeInitFunction() {
  SpawnerBaseComponent::DeInitFunction();
  if (m_bSceneListening) {
    m_bSceneListening = false;
    Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
  }
}

void SoldierSpawner::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  // Boxes placed under the building come after it in a scene.
  if (data && data->m_pSender == &Vision::Callbacks.OnAfterSceneLoaded) {
    SetupTriggers();
    return;
  }
  SpawnerBaseComponent::OnHandleCallback(data);
}

void SoldierSpawner::SetupTriggers() {
  auto* owner = static_cast<VisBaseEntity_cl*>(m_pOwner);
  if (!owner || !IsGameRunning()) return;
  auto* on = FindOrAddNamed<VisTriggerTargetComponent_cl>(owner, "ToggleOn");
  auto* off = FindOrAddNamed<VisTriggerTargetComponent_cl>(owner, "ToggleOff");
  for (int i = 0; i < owner->GetNumChildren(); ++i) {
    auto* box = dynamic_cast<TriggerBoxEntity_cl*>(owner->GetChild(i));
    if (!box) continue;
    VisTriggerSourceComponent_cl::Link(FindOrAddNamed<VisTriggerSourceComponent_cl>(box, "OnObjectEnter"), on);
    VisTriggerSourceComponent_cl::Link(FindOrAddNamed<VisTriggerSourceComponent_cl>(box, "OnObjectLeave"), off);
  }
  TriggerBoxEntity_cl::AddObservedEntity(owner);
}

void SoldierSpawner::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_TRIGGER) {
    SpawnerBaseComponent::MessageFunction(id, p1, p2);
    return;
  }
  auto* target = reinterpret_cast<VisTriggerTargetComponent_cl*>(p2);
  const char* name = target ? target->GetComponentName() : nullptr;
  if (!name || std::strcmp(name, "ToggleOn") != 0) return;
  if (m_iSoldierCount >= 1 && m_iPendingSoldiers == 0) m_iPendingSoldiers = MathTools::RandomInt(1, 3);
}

void SoldierSpawner::Update() {
  if (m_iPendingSoldiers <= 0) return;
  m_bSpawnRequested = 1;
  SpawnerBaseComponent::Update();
}

void SoldierSpawner::Spawn() {
  if (m_iPendingSoldiers <= 0) return;
  --m_iPendingSoldiers;
  SpawnerBaseComponent::Spawn();
}

void SoldierSpawner::Serialize(VArchive& ar) {
  SpawnerBaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kPositionsVersion);
    ar << (int)m_positions.size();
    for (const VisVector_cl& p : m_positions) ar << p;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  if (!ar.IsOK()) return;
  SavedBlockReader block(ar, "SoldierSpawner", kPositionsVersion);
  if (!block.IsOpen()) return;
  std::vector<VisVector_cl> positions = m_positions;
  if (block.Has(2)) {
    int n = 0;
    if (!ArchiveLimits::ReadCount(ar, n, kVectorBytes, kMaxPositions)) {
      block.Fail("a count beyond the block");
      return;
    }
    positions.assign((size_t)n, VisVector_cl(0, 0, 0));
    for (VisVector_cl& p : positions) ar >> p;
  }
  if (!block.End()) return;
  m_positions = std::move(positions);
}
