// The soldier's path: orders plan it, each frame walks it, and its next waypoint
// steers the soldier's movement component.
#include "components/InfantryPathComponent.h"

#include "components/DLC1SpecialCannonComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "components/UnitPathComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/State_Idle.h"
#include "entities/FSM/State_Walk.h"
#include "entities/FSM/WalkState.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/PauseManager.h"
#include "util/MathTools.h"

namespace {

bool IsPaused() { return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused(); }

bool EnterSpecialBuilding(VisBaseEntity_cl* building) {
  auto* special = building->Components<SpecialBuildingComponent>();
  return special && special->EnterBuilding();
}

void FireSpecialCannon(VisBaseEntity_cl* target) {
  if (auto* cannon = target->Components<DLC1SpecialCannonComponent>()) cannon->SetActive(true);
}

}  // namespace

V_IMPLEMENT_DYNCREATE(InfantryPathComponent, BasePathComponent)

InfantryPathComponent::InfantryPathComponent() : BasePathComponent(5.0f, 1.5f, false) {}

InfantryPathComponent::InfantryPathComponent(float stepLength, float reachDistance, bool looping)
    : BasePathComponent(stepLength, reachDistance, looping) {}

InfantryPathComponent::~InfantryPathComponent() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void InfantryPathComponent::SetInteractionTarget(VisBaseEntity_cl* target) {
  m_pInteractionTarget = target;
  if (target)
    GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  else
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void InfantryPathComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pInteractionTarget) SetInteractionTarget(nullptr);
    return;
  }
  BasePathComponent::OnHandleCallback(data);
}

void InfantryPathComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_USER_UNIT_MOVE && id != VIS_MSG_USER_UNIT_ATTACK_ORDER && id != VIS_MSG_USER_UNIT_COLLECT && id != VIS_MSG_USER_UNIT_WALK_TO && id != VIS_MSG_USER_UNIT_WALK_TO_USE) return;
  SoldierEntity* soldier = GetSoldier();
  if (id == VIS_MSG_USER_UNIT_MOVE && soldier) {
    UnitEntity* unit = soldier->GetParentUnit();
    // A unit with a path of its own steers its soldiers along copies of it.
    if (unit && unit->GetComponentOfType(UnitPathComponent::GetClassTypeId())) return;
  }
  const VisVector_cl* target = reinterpret_cast<const VisVector_cl*>(p1);
  VisVector_cl goal = target ? *target : VisVector_cl(0.0f, 0.0f, 0.0f);
  auto* entity = id != VIS_MSG_USER_UNIT_MOVE ? reinterpret_cast<VisBaseEntity_cl*>(p2) : nullptr;
  VisObject3D_cl* owner = GetOwner3D();
  if (entity && owner && entity->IsOfType("BuildingBaseEntity")) {
    // Up to the building's walls, not into its middle.
    const VisVector_cl from = owner->GetPosition();
    VisVector_cl towards = entity->GetPosition() - from;
    towards.z = 0.0f;
    towards.Normalize();
    goal = from + towards * MathTools::DistanceToEntityBoundingBox(from, entity);
  }
  if (id == VIS_MSG_USER_UNIT_WALK_TO_USE) SetInteractionTarget(entity);
  MakePathTo(goal, true);
  if (m_spPath && m_spPath->GetPathNodeCount() <= 2) CheckArrival();
}

SoldierEntity* InfantryPathComponent::GetSoldier() const {
  VisTypedEngineObject_cl* owner = GetOwner();
  return owner && owner->IsOfType(SoldierEntity::GetClassTypeId()) ? static_cast<SoldierEntity*>(owner) : nullptr;
}

void InfantryPathComponent::UpdateOwner() {
  SoldierEntity* soldier = GetSoldier();
  if (!soldier) return;
  const int nodes = m_spPath ? m_spPath->GetPathNodeCount() : 0;
  if (!m_spPath || (nodes < 2 && soldier->GetStateType() == STATE_WALK)) {
    ClearPath();
    soldier->SendMsg(VIS_MSG_USER_UNIT_DESTINATION_REACHED, 0, 0);
    CheckArrival();
  }
  InfantryMovementComponent* movement = soldier->GetMovementComponent();
  if (!m_spPath || m_spPath->GetPathNodeCount() < 2) {
    if (movement) movement->SetMoving(false);
    return;
  }
  const VisVector_cl next = GetNextPosition();
  if (movement) movement->SetTarget(next);
  if (IsPaused()) return;
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  if (!machine || !machine->GetCurrentState()) return;
  State<SoldierEntity>* current = machine->GetCurrentState();
  if (current == IdleState::GetInstance() && current->HasTransition(WalkState::GetInstance())) {
    machine->ChangeState(WalkState::GetInstance());
    soldier->TurnFaceTo(next);
  } else if (current == State_Idle::GetInstance() && current->HasTransition(State_Walk::GetInstance())) {
    machine->ChangeState(State_Walk::GetInstance());
    soldier->TurnFaceTo(next);
  }
}

bool InfantryPathComponent::IsFollowingPath() {
  SoldierEntity* soldier = GetSoldier();
  return BasePathComponent::IsFollowingPath() && soldier && soldier->GetStateType() == STATE_WALK;
}

void InfantryPathComponent::OwnerStops() {
  if (m_spPath && m_spPath->GetPathNodeCount() > 2) {
    UpdateTick();
    UpdateOwner();
    return;
  }
  ClearPath();
  CheckArrival();
}

void InfantryPathComponent::CheckArrival() {
  SoldierEntity* soldier = GetSoldier();
  if (!m_pInteractionTarget || !soldier) return;
  VisBaseEntity_cl* target = m_pInteractionTarget;
  if (!target->IsOfType("BuildingBaseEntity")) {
    const bool landBattle = GameManager::HasInstance() && GameManager::GetInstance()->GetLocation() == 1;
    if (!landBattle || !target->IsOfType(BaseEntity::GetClassTypeId())) return;
    FireSpecialCannon(target);
    SetInteractionTarget(nullptr);
    return;
  }
  // A building is kept as the target until the soldier is let in.
  UnitEntity* unit = soldier->GetParentUnit();
  const bool hero = soldier->IsPlayerHero() || (unit && unit->IsHero());
  if (hero && EnterSpecialBuilding(target)) SetInteractionTarget(nullptr);
}
