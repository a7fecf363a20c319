// The computer's control of a unit.
#include "components/AIUnitComponent.h"

#include "core/GameManager.h"
#include "entities/UnitEntity.h"
#include "Managers/ArtifactManager.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisCollisionToolkit.h"

namespace {
const char kBlockVersion = 2;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(AIUnitComponent, BaseComponent, &AIUnitComponent::BuildVarList)

void AIUnitComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, AIUnitComponent, m_fAttackRange, "Range to attack from", "10.0");
}

AIUnitComponent::~AIUnitComponent() { Listen(false); }

int AIUnitComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(UnitEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of UnitEntity or derived classes.";
  return 0;
}

void AIUnitComponent::Listen(bool on) {
  if (on == m_bListening) return;
  m_bListening = on;
  if (on) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  } else {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  }
}

void AIUnitComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  Listen(owner != nullptr);
}

void AIUnitComponent::OnHandleCallback(IVisCallbackDataObject_cl*) {
  // The unit's script does the thinking; the frame and removed units need nothing here.
}

bool AIUnitComponent::CheckEnemyVisible(VisBaseEntity_cl* soldier, VisBaseEntity_cl* enemy) const {
  if (!soldier || !enemy) return false;
  if (GameManager::HasInstance() && enemy == GameManager::GetInstance()->GetPlayerEntity() &&
      ArtifactManager::GetInstance()->IsActive(ARTIFACT_UNSEEN))
    return false;
  // The trace reports a hit: the enemy is seen when nothing lies in between.
  const VisVector_cl eye(0.0f, 0.0f, EYE_HEIGHT);
  return !Vision::CollisionToolkit.TraceLine(soldier->GetPosition() + eye, enemy->GetPosition() + eye, 0xffffffff,
                                            VIS_TRACE_ALL, soldier, enemy, nullptr);
}

void AIUnitComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fAttackRange << m_iState;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "AIUnitComponent", kBlockVersion);
  if (!block.IsOpen()) return;
  float range = m_fAttackRange;
  int state = m_iState;
  if (block.Has(2)) ar >> range >> state;
  if (!block.End()) return;
  m_fAttackRange = range;
  m_iState = state;
}
