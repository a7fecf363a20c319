// Building damage and destruction.
#include "components/DestructableBuildingComponent.h"

#include "components/HealthBarComponent.h"
#include "components/StorageComponentProto.h"
#include "core/BaseEntity.h"
#include "core/ComponentMessages.h"
#include "entities/CollectableEntityTemplate.h"
#include "Managers/AchievementManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/ComponentSetup.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisLightSource.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisWorld.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

const char kBlockVersion = 2;
const int kMsgBuildingHit = 201;
const int kMsgBuildingRepair = 202;
// A hit or a repair without an amount.
const int kDefaultAmount = 5;
const float kHealthBarSeconds = 3.0f;
const char* const kDestroyEffect = "Particles\\destroy_building.xml";
const char* const kBarrelScript = "/Scripts/Collectables/BarrelScript.lua";
// Every money item a burning building drops counts towards this achievement.
const int kLootedMoneyAchievement = 12;

// Hidden from view and from the lights.
void HideObject(VisBaseEntity_cl* entity) {
  entity->SetVisibleBitmask(0);
  entity->SetLightInfluenceBitMask(0);
}

// An attached entity and everything attached below it: hidden and stripped.
void StripEntity(VisBaseEntity_cl* entity) {
  HideObject(entity);
  entity->RemoveAllComponents();
  for (int i = 0; i < entity->GetNumChildren(); ++i) {
    VisObject3D_cl* child = entity->GetChild(i);
    if (child->IsOfType(VisBaseEntity_cl::GetClassTypeId())) StripEntity(static_cast<VisBaseEntity_cl*>(child));
  }
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(DestructableBuildingComponent, BaseComponent, &DestructableBuildingComponent::BuildVarList)

void DestructableBuildingComponent::BuildVarList(VARTABLE& t) {
  VAR_INT(t, DestructableBuildingComponent, m_iDamageLevelCount, "Number of damage levels", "4");
  VAR_INT(t, DestructableBuildingComponent, m_iArmorValue, "Armor value", "0");
  VAR_INT(t, DestructableBuildingComponent, m_iCurrentHitPoints, "Current hitpoints", "100");
  VAR_INT(t, DestructableBuildingComponent, m_iMaxHitPoints, "Maximum hitpoints", "100");
  VAR_BOOL(t, DestructableBuildingComponent, m_bDropItems, "Drop items when destroyed", "TRUE");
}

DestructableBuildingComponent::DestructableBuildingComponent() = default;

DestructableBuildingComponent::~DestructableBuildingComponent() { DeInitFunction(); }

int DestructableBuildingComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType("BuildingBaseEntity")) return 1;
  reason = "Component can only be added to instances of BuildingBaseEntity or derived classes.";
  return 0;
}

void DestructableBuildingComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    InitFunction();
  else
    DeInitFunction();
}

void DestructableBuildingComponent::InitFunction() {
  if (Vision::Editor.IsInEditor() && !Vision::Editor.IsPlayingTheGame()) return;
  if (!m_pOwner || !m_pOwner->IsOfType(BaseEntity::GetClassTypeId())) return;
  auto* owner = static_cast<BaseEntity*>(m_pOwner);
  // A building restored from a saved block has its loot in its storage's own block.
  if (m_bDropItems && !m_bRestored) AddDropItem();
  m_bRestored = false;
  ComponentSetup::TakeOrAdd<HealthBarComponent>(owner);
  if (owner->GetCollisionTraceAccuracy() == VIS_TRACEACC_NOCOLLISION) {
    owner->SetCollisionTraceAccuracy(VIS_TRACEACC_OBOX);
    owner->SetClickTraceAccuracy(VIS_TRACEACC_POLYGONS);
  }
}

void DestructableBuildingComponent::DeInitFunction() {
  if (!m_spDestroyEffect) return;
  m_spDestroyEffect->SetFinished();
  m_spDestroyEffect->SetRemoveWhenFinished(true);
  m_spDestroyEffect = nullptr;
}

void DestructableBuildingComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  if (id == kMsgBuildingHit) {
    const int64_t damage = (int64_t)(p1 ? (int)p1 : kDefaultAmount) - m_iArmorValue;
    IncCurrentHitPoints(-(int)std::clamp<int64_t>(damage, 1, INT_MAX));
  } else if (id == kMsgBuildingRepair) {
    // Ruins are not patched up; only a rebirth raises them.
    if (m_iCurrentHitPoints <= 0) return;
    IncCurrentHitPoints(p1 ? (int)p1 : kDefaultAmount);
  }
}

void DestructableBuildingComponent::SetHitPoints(int hitPoints) {
  const int before = m_iCurrentHitPoints;
  const int top = m_iMaxHitPoints > 0 ? m_iMaxHitPoints : 0;
  m_iCurrentHitPoints = hitPoints < 0 ? 0 : (hitPoints > top ? top : hitPoints);
  if (m_iCurrentHitPoints > 0) {
    // Rebuilt: the old fire is out, a new fall burns anew.
    if (before <= 0) DeInitFunction();
    return;
  }
  if (before > 0) Destroy();
}

void DestructableBuildingComponent::SetHitPointsMax(int hitPoints) {
  m_iMaxHitPoints = hitPoints;
  if (m_iCurrentHitPoints > hitPoints) SetHitPoints(hitPoints);
}

void DestructableBuildingComponent::IncCurrentHitPoints(int delta) {
  // Summed wide: a huge hit or repair clamps instead of wrapping round.
  SetHitPoints((int)std::clamp<int64_t>((int64_t)m_iCurrentHitPoints + delta, INT_MIN, INT_MAX));
  if (m_pOwner)
    if (HealthBarComponent* bar = m_pOwner->Components<HealthBarComponent>()) bar->Show(kHealthBarSeconds);
}

int DestructableBuildingComponent::GetCurrentDamageLevel() const {
  if (m_iMaxHitPoints <= 0) return m_iDamageLevelCount;
  const float share = (float)m_iCurrentHitPoints / (float)m_iMaxHitPoints;
  return m_iDamageLevelCount - (int)(share * (float)m_iDamageLevelCount);
}

void DestructableBuildingComponent::AddDropItem() {
  if (!m_bDropItems || !m_pOwner || !m_pOwner->IsOfType(VisObject3D_cl::GetClassTypeId())) return;
  StorageComponentProto* storage = ComponentSetup::TakeOrAdd<StorageComponentProto>(m_pOwner);
  if (!storage) return;
  auto* barrel = new CollectableEntityTemplate();
  barrel->m_vPosition = static_cast<VisObject3D_cl*>(m_pOwner)->GetPosition();
  barrel->m_sCollectableScriptFile = kBarrelScript;
  storage->AddCollectable(barrel);
}

void DestructableBuildingComponent::Destroy() {
  if (!m_pOwner || !m_pOwner->IsOfType(VisBaseEntity_cl::GetClassTypeId())) return;
  auto* owner = static_cast<VisBaseEntity_cl*>(m_pOwner);
  const VisVector_cl position = owner->GetPosition();
  if (!m_spDestroyEffect) {
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_BUILDING_DESTROY, 1.0f, position, 10.0f, 150.0f, false);
    if (VisParticleEffectFile_cl* file = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kDestroyEffect)) {
      m_spDestroyEffect = file->CreateParticleEffectInstance(position, VisVector_cl(0.0f, 0.0f, 0.0f));
      if (m_spDestroyEffect) m_spDestroyEffect->SetHandleWhenVisible(false);
    }
  }

  HideObject(owner);
  owner->SendMsg(VIS_MSG_USER_UNIT_DIE);

  StorageComponentProto* storage = owner->Components<StorageComponentProto>();
  if (storage && m_bDropItems) {
    AchievementManager* achievements = AchievementManager::GetInstance();
    for (unsigned int i = 0; i < storage->GetCollectableCount(); ++i) {
      const CollectableEntityTemplate* templ = storage->GetCollectable(i);
      if (templ && templ->m_sType == "Money") achievements->IncValue(kLootedMoneyAchievement, 1.0f, true);
    }
    storage->DropAllCollectables();
  }

  // What hangs on the building burns with it; the object it hangs on, too.
  for (int i = 0; i < owner->GetNumChildren(); ++i) {
    VisObject3D_cl* child = owner->GetChild(i);
    if (child->IsOfType(VisParticleEffect_cl::GetClassTypeId()))
      static_cast<VisParticleEffect_cl*>(child)->SetFinished();
    else if (child->IsOfType(VisLightSource_cl::GetClassTypeId()))
      static_cast<VisLightSource_cl*>(child)->SetEnabled(false);
    else if (child->IsOfType(VisBaseEntity_cl::GetClassTypeId()))
      StripEntity(static_cast<VisBaseEntity_cl*>(child));
  }
  if (VisObject3D_cl* parent = owner->GetParent(); parent && parent->IsOfType(VisBaseEntity_cl::GetClassTypeId())) {
    auto* holder = static_cast<VisBaseEntity_cl*>(parent);
    HideObject(holder);
    holder->RemoveAllComponents();
  }
}

void DestructableBuildingComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_iDamageLevelCount << m_iCurrentHitPoints << m_iMaxHitPoints << m_iArmorValue << m_bDropItems;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "DestructableBuildingComponent", kBlockVersion);
  if (!block.IsOpen()) return;
  int levels = m_iDamageLevelCount, current = m_iCurrentHitPoints, maximum = m_iMaxHitPoints;
  int armour = m_iArmorValue, drop = m_bDropItems;
  if (block.Has(2)) ar >> levels >> current >> maximum >> armour >> drop;
  if (!block.End()) return;
  m_iDamageLevelCount = levels < 1 ? 1 : levels;
  m_iMaxHitPoints = maximum;
  m_iCurrentHitPoints = std::clamp(current, 0, maximum > 0 ? maximum : 0);
  m_iArmorValue = armour;
  m_bDropItems = drop;
  m_bRestored = true;
}
