// Prisoners set free in a circle round the prison.
#include "components/PrisonComponent.h"

#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "components/InfantryPathComponent.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/core/VScriptManager.h"

#include <algorithm>
#include <cmath>

namespace {
const char kPrisonVersion = 2;
const char* const kDestructibleClass = "DestructableBuildingComponent";
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(PrisonComponent, SpawnerBaseComponent, &PrisonComponent::BuildVarList)

void PrisonComponent::BuildVarList(VARTABLE& t) {
  VAR_INT(t, PrisonComponent, m_iInitialHitPoints, "Buildin hitpoints", "200");
}

int PrisonComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!SpawnerBaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType("BuildingBaseEntity")) return 1;
  reason = "Component can only be added to instances of BuildingBaseEntity or derived classes.";
  return 0;
}

void PrisonComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  SpawnerBaseComponent::SetOwner(owner);
  if (owner) SetupBuilding();
}

void PrisonComponent::SetupBuilding() {
  if (!m_pOwner || !IsGameRunning()) return;
  // Found by class name: the building side supplies it.
  if (m_pOwner->GetComponentOfType(kDestructibleClass)) return;
  VTypedObject* made = VType::CreateObject(kDestructibleClass);
  auto* component = dynamic_cast<BaseComponent*>(made);
  if (!component) {
    delete made;
    return;
  }
  component->Initialize();
  component->SetPropertyBool("m_bDropItems", false);
  component->SetPropertyNumber("m_iMaxHitPoints", m_iInitialHitPoints);
  component->SetPropertyNumber("m_iCurrentHitPoints", m_iInitialHitPoints);
  if (!m_pOwner->AddComponent(component)) component->DisposeObject();
}

void PrisonComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != MSG_BUILDING_DESTROYED) {
    SpawnerBaseComponent::MessageFunction(id, p1, p2);
    return;
  }
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetScriptInstance(this) : nullptr;
  if (script && script->IsValid() && script->HasFunction("OnDestroyed")) script->ExecuteFunctionArg("OnDestroyed", "*");
}

void PrisonComponent::Update() {
  if (m_iSoldierCount != 0) SpawnerBaseComponent::Update();
}

UnitEntity* PrisonComponent::FindPlayerUnitWithRoom() const {
  if (!GameSessionManager::HasInstance()) return nullptr;
  const GameSessionManager* session = GameSessionManager::GetInstance();
  std::vector<int64_t> ids;
  auto gather = [&ids](const HeroStats* hero) {
    for (int i = 0; hero && i < hero->GetUnitRecordCount(); ++i) {
      const UnitEntityTemplate* t = hero->GetUnitRecord(i)->m_pTemplate;
      if (t && t->m_iUniqueID != 0) ids.push_back(t->m_iUniqueID);
    }
  };
  gather(session->GetPlayer());
  for (int i = 0; i < session->GetHeroCount(); ++i) gather(session->GetHero(i));
  // Shuffled with the game's own draws, so a seeded run repeats itself.
  for (int i = (int)ids.size() - 1; i > 0; --i) std::swap(ids[(size_t)i], ids[(size_t)MathTools::RandomInt(i + 1)]);
  for (int64_t id : ids) {
    UnitEntity* unit = FindUnit(id);
    // Room is judged on the unit itself: the record may be older.
    if (unit && unit->GetNumSoldiers() < unit->GetMaxNumSoldiers()) return unit;
  }
  return nullptr;
}

void PrisonComponent::Spawn() {
  m_pLastSpawned = nullptr;
  const int n = (int)m_templates.size();
  if (!m_pOwner || m_iNextPrisoner >= n) {
    m_bSpawnRequested = 0;
    return;
  }
  const int i = m_iNextPrisoner;
  UnitEntityTemplate* templ = m_templates[(size_t)i];
  const auto* owner = static_cast<const VisBaseEntity_cl*>(m_pOwner);

  const float a = 2.0f * 3.14159265358979f * (float)i / (float)n;
  VisVector_cl offset = m_vSpawnOffset;
  offset.x += std::cos(a);
  offset.y += std::sin(a);
  const VisVector_cl spawnAt = OwnerPoint(offset);
  const VisVector_cl walkLocal = (m_vWalkTargetOffset + owner->GetRotationMatrix() * offset) * (1.0f + Uniform(0.0f, 1.0f));
  const VisVector_cl walkTarget = OwnerPoint(walkLocal);

  UnitEntity* unit = nullptr;
  if (templ->m_iNation == GetPlayerNationNumber()) {
    unit = FindPlayerUnitWithRoom();
    if (unit) {
      m_vTriggerPosition = unit->GetPosition();
      m_vTriggerPosition.x += 1.5f * MathTools::GaussianRandom();
      m_vTriggerPosition.y += 1.5f * MathTools::GaussianRandom();
    }
  } else {
    unit = CreateUnit(*templ, walkTarget);
  }

  if (SoldierEntity* soldier = unit ? unit->AddSoldier(nullptr) : nullptr) {
    PlaceSoldier(soldier, spawnAt);
    const VisVector_cl destination = HasTriggerPosition() ? m_vTriggerPosition : walkTarget;
    if (auto* path = ComponentSetup::TakeOrAdd<InfantryPathComponent>(soldier)) path->MakePathTo(destination, true);
    m_pLastSpawned = soldier;
  }
  ++m_iNextPrisoner;
  m_bSpawnRequested = m_iNextPrisoner < n ? 1 : 0;
}

void PrisonComponent::Serialize(VArchive& ar) {
  SpawnerBaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kPrisonVersion);
    ar << m_iInitialHitPoints;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  if (!ar.IsOK()) return;
  SavedBlockReader block(ar, "PrisonComponent", kPrisonVersion);
  if (!block.IsOpen()) return;
  int hitPoints = m_iInitialHitPoints;
  if (block.Has(2)) ar >> hitPoints;
  if (!block.End()) return;
  m_iInitialHitPoints = hitPoints;
}
