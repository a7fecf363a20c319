// Steering of one soldier: smooth turning, three probe rays around obstacles, the
// forward push of its physics object, and the hero's direct control.
#include "components/InfantryMovementComponent.h"

#include "components/AttackComponent.h"
#include "components/CarryComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/StrafeState.h"
#include "entities/FSM/WalkState.h"
#include "entities/HeroStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/ArtifactManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"
#include "util/RaycastClosest.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisTimer.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisSkeletalAnimControl.h"
#include "engine/physics/vPhysXModule.h"

#include <algorithm>
#include <cmath>

namespace {

const char kMovementVersion = 3;
// Potion that speeds up the player's heroes.
const int kCollectableGetAFix = 35;
// Turn impulse lost per second.
const float kTurnImpulseDecay = 80.0f;
// Degrees per second of the hero's direct turning.
const float kDirectTurnSpeed = 200.0f;
// Entity hits (but not the soldier itself) and static geometry count; terrain does not.
const unsigned kProbeMask = 3;
// Loot carriers walk slower.
const float kCarrySpeedFactor = 0.7f;

bool IsPaused() { return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused(); }

VisVector_cl Flat(const VisVector_cl& v) { return VisVector_cl(v.x, v.y, 0.0f); }

// A horizontal probe from 'from' along the heading (degrees about z), not yet cast.
void AimProbe(RaycastClosest& ray, VisTypedEngineObject_cl* owner, const VisVector_cl& from, float heading,
              float length) {
  ray.Reset();
  ray.pIgnoreEntity = owner;
  ray.iBlockMask = kProbeMask;
  ray.vRayStart = from;
  const float radians = VIS_DEG2RAD(heading);
  ray.vRayEnd = from + VisVector_cl(std::cos(radians) * length, std::sin(radians) * length, 0.0f);
}

// Decays v towards 0 by step without crossing 0.
float TowardsZero(float v, float step) { return v > 0.0f ? std::max(0.0f, v - step) : std::min(0.0f, v + step); }

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(InfantryMovementComponent, BaseComponent, &InfantryMovementComponent::BuildVarList)

void InfantryMovementComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, InfantryMovementComponent, m_fSpeed, "Movement speed m/s", "0.0");
  VAR_FLOAT(t, InfantryMovementComponent, m_fFrontHitSpeedReduction, "speed factor when hitting something", "0.75");
  VAR_FLOAT(t, InfantryMovementComponent, m_fSideHitSpeedReduction, "speed factor when hitting something", "0.25");
  VAR_FLOAT(t, InfantryMovementComponent, m_fFrontHitTurnSpeed, "turn speed when avoiding something", "2.0");
  VAR_FLOAT(t, InfantryMovementComponent, m_fSideHitTurnSpeed, "turn speed when avoiding something", "4.0");
}

InfantryMovementComponent::InfantryMovementComponent() = default;

InfantryMovementComponent::~InfantryMovementComponent() = default;

SoldierEntity* InfantryMovementComponent::GetSoldier() const {
  VisTypedEngineObject_cl* owner = GetOwner();
  return owner && owner->IsOfType(SoldierEntity::GetClassTypeId()) ? static_cast<SoldierEntity*>(owner) : nullptr;
}

int InfantryMovementComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return object && (object->IsOfType(UnitEntity::GetClassTypeId()) || object->IsOfType(SoldierEntity::GetClassTypeId()))
             ? 1
             : 0;
}

void InfantryMovementComponent::SetTarget(const VisVector_cl& target) {
  m_vTarget = target;
  m_bMoving = true;
}

void InfantryMovementComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  if (id >= 401 && id <= 409) HandleMovement(id);
}

// ---- per frame -------------------------------------------------------------------------

void InfantryMovementComponent::Update() {
  SoldierEntity* soldier = GetSoldier();
  if (!soldier) return;
  const float dt = Vision::Timer.GetTimeDifference();

  UnitEntity* unit = soldier->GetParentUnit();
  if (unit && unit->IsHero() && unit->GetHeroStats()) {
    HeroStats* hero = unit->GetHeroStats();
    m_fSpeedMultiplier = hero->HasSkill("active_skill") ? 1.0f + hero->GetSkillByName("active_skill").GetValue(10) : 1.0f;
    if (ArtifactManager::GetInstance()->IsActive(kCollectableGetAFix) &&
        soldier->GetNation() == RtsManager::GlobalManager().GetPlayerNation())
      m_fSpeedMultiplier *= 1.0f + ArtifactManager::GetInstance()->GetEffect(kCollectableGetAFix);
  }
  m_bWalking = soldier->GetStateType() == STATE_WALK;

  if (!m_bDirectControl && m_fTurnImpulse != 0.0f) {
    soldier->IncOrientation(VisVector_cl(m_fTurnImpulse, 0.0f, 0.0f));
    m_fTurnImpulse = TowardsZero(m_fTurnImpulse, dt * kTurnImpulseDecay);
  }
  if (m_bDirectControl) m_fTurnImpulse = 0.0f;

  AdvanceMovement(dt, soldier->GetPosition(), soldier->GetRotationMatrix());
}

void InfantryMovementComponent::AdvanceMovement(float dt, const VisVector_cl& position, const VisMatrix3x3_cl&) {
  SoldierEntity* soldier = GetSoldier();
  if (!soldier || (!m_bMoving && !m_bDirectControl)) return;
  IVisPhysicsObject_cl* physics = soldier->GetPhysicsObject();
  if (!physics) return;
  InfantryPathComponent* path = soldier->GetPathComponent();
  const bool paused = IsPaused();

  float speed = GetSpeed();
  if (position.GetDistance2D(m_vTarget) > REPLAN_DISTANCE) {
    if (path) {
      path->MakePathTo(path->GetEndPosition(), true);
    } else if ((path = ComponentSetup::AddNew<InfantryPathComponent>(soldier))) {
      // A soldier sent far without a path of its own would never set off: the path
      // is made to the target, whose first stretch the path then hands back.
      path->MakePathTo(m_vTarget, true);
    }
    return;
  }
  auto* carry = static_cast<CarryComponent*>(soldier->GetComponentOfType(CarryComponent::GetClassTypeId()));
  if (carry && carry->IsCarrying()) speed *= kCarrySpeedFactor;

  // The three probes, in the order A, B, C: 45 degrees to either side and the front
  // one jittered.
  const VisVector_cl own = soldier->GetPosition();
  const VisVector_cl from(own.x, own.y, own.z + RAY_HEIGHT);
  const float facingYaw = soldier->GetOrientation().x - 90.0f;
  RaycastClosest rayA, rayB, rayC;
  AimProbe(rayA, soldier, from, facingYaw + 45.0f, SIDE_RAY_LENGTH);
  AimProbe(rayB, soldier, from, facingYaw - 45.0f, SIDE_RAY_LENGTH);
  AimProbe(rayC, soldier, from, facingYaw + 30.0f * MathTools::GaussianRandom(), FRONT_RAY_LENGTH);
  // Cast together: the three share one walk of the broadphase.
  VisPhysicsRaycastBase_cl* probes[] = {&rayA, &rayB, &rayC};
  if (vPhysXModule* physics = vPhysXModule::GetInstance()) physics->PerformRaycasts(probes, 3);

  const VisMatrix3x3_cl& rotation = soldier->GetRotationMatrix();
  const VisVector_cl facing = Flat(-rotation.GetColumn(1));
  const VisVector_cl side = Flat(rotation.GetColumn(0));
  const VisVector_cl u = facing * speed;
  const float s = u.GetLength();

  RaycastClosest* picked = rayA.fHitDistance < rayB.fHitDistance ? &rayA : &rayB;
  if (rayC.fHitDistance <= picked->fHitDistance) picked = &rayC;
  if (rayA.bHit && rayB.bHit) {
    if (rayC.bHit) {
      // Closed in: turn back through the soldier.
      VisVector_cl mirrored = own * 2.0f - m_vTarget;
      mirrored.w = 1.0f;
      if (path) path->SetCurrentNodePosition(mirrored);
      SetTarget(mirrored);
      picked = nullptr;
    } else {
      picked = &rayC;
    }
  }

  VisVector_cl desired(0.0f, 0.0f, 0.0f);
  const bool avoiding = picked && picked->bHit;
  if (avoiding) {
    float magnitude;
    VisVector_cl direction;
    if (picked == &rayC) {
      magnitude = s * m_fFrontHitTurnSpeed;
      speed *= m_fFrontHitSpeedReduction;
      direction = side.Dot(picked->vHitNormal) > 0.0f ? side : -side;
    } else {
      magnitude = s * m_fSideHitTurnSpeed;
      speed *= m_fSideHitSpeedReduction;
      direction = picked == &rayA ? -side : side;
    }
    if (picked->pHitEntity && picked->pHitEntity->IsOfType(SoldierEntity::GetClassTypeId())) magnitude *= 0.5f;
    direction.z = 0.0f;
    direction.Normalize();
    desired = direction * magnitude;
  } else {
    VisVector_cl toTarget = Flat(m_vTarget - own);
    const float length = toTarget.GetLength();
    toTarget.Normalize();
    desired = toTarget * (2.0f * s / std::clamp(length, 0.01f, 1.0f));
  }

  if (!desired.IsZero()) {
    const float k = 3.0f * dt;
    VisVector_cl v = u + (desired - u) * k;
    v.z = desired.z * k;
    const VisVector_cl lookAt = own + v;
    if (!paused) soldier->TurnFaceTo(lookAt);
    if (avoiding) {
      VisVector_cl ahead = lookAt - own;
      ahead.SetLength(2.5f);
      const VisVector_cl p = own + ahead;
      VisVector_cl steered = m_vTarget + (p - m_vTarget) * k;
      steered.w = 1.0f;
      if (path && path->IsFollowingPath()) path->SetCurrentNodePosition(steered);
      SetTarget(steered);
    }
  }

  // The walk animation runs at the walking pace and stands still while paused.
  if (VisAnimConfig_cl* config = soldier->GetAnimConfig()) {
    if (VisSkeletalAnimControl_cl* control = config->GetSkeletalAnimControl()) {
      speed *= control->GetSpeed();
      if (paused)
        control->Stop();
      else if (control->IsStopped())
        control->Play(true);
    }
  }

  // The step along the facing, which the turn above may have changed.
  VisVector_cl step = Flat(-soldier->GetRotationMatrix().GetColumn(1));
  step.SetLength(speed * dt);
  step.z = 0.0f;
  const float stepLength = step.GetLength();
  const float toTarget = soldier->GetPosition().GetDistance2D(m_vTarget);
  const float reach = path ? path->GetReachDistance() : DEFAULT_REACH;
  if (!m_bDirectControl && !(path && path->IsFollowingPath()) && m_bMoving &&
      (stepLength > toTarget || reach > toTarget))
    m_bMoving = false;
  if (!paused && toTarget > stepLength) physics->IncMotionDelta(step);
}

void InfantryMovementComponent::DampObstacleDodge(bool hold, float amount) {
  if (m_fTurnImpulse == 0.0f) return;
  if (VisObject3D_cl* owner = GetSoldier()) owner->IncOrientation(VisVector_cl(m_fTurnImpulse, 0.0f, 0.0f));
  if (!hold) m_fTurnImpulse = TowardsZero(m_fTurnImpulse, amount);
}

// ---- direct control of the hero ------------------------------------------------------------

void InfantryMovementComponent::HandleMovement(int message) {
  SoldierEntity* soldier = GetSoldier();
  if (!soldier) return;
  const float dt = Vision::Timer.GetTimeDifference();
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  const float sideStep = GetSpeed() * 0.5f * dt;
  switch (message) {
    case 401:
      m_bDirectControl = true;
      if (machine) machine->ChangeState(WalkState::GetInstance());
      break;
    case 402:
      m_bDirectControl = true;
      if (machine) machine->ChangeState(IdleState::GetInstance());
      break;
    case 403:
      m_bDirectControl = true;
      soldier->IncOrientation(VisVector_cl(dt * kDirectTurnSpeed, 0.0f, 0.0f));
      break;
    case 404:
      m_bDirectControl = true;
      soldier->IncOrientation(VisVector_cl(-dt * kDirectTurnSpeed, 0.0f, 0.0f));
      break;
    case 405:
    case 406: {
      m_bDirectControl = true;
      if (machine) machine->ChangeState(StrafeState::GetInstance());
      const VisVector_cl local(message == 405 ? sideStep : -sideStep, 0.0f, 0.0f);
      soldier->IncMotionDelta(soldier->GetRotationMatrix() * local);
      break;
    }
    case 407: {
      if (machine && machine->GetCurrentState() == AttackState::GetInstance()) break;
      Player* player = RtsManager::GlobalManager().GetPlayer();
      UnitEntity* enemy = player ? player->GetClosestEnemyUnit(soldier->GetParentUnit()) : nullptr;
      AttackComponent* attack = soldier->GetAttackComponent();
      if (!attack || !enemy) break;
      attack->SetAttackTargetUnit(enemy);
      if (attack->CheckInRange() && machine) machine->ChangeState(AttackState::GetInstance());
      break;
    }
    case 409:
      m_bDirectControl = false;
      if (machine && machine->GetCurrentState() != AttackState::GetInstance())
        machine->ChangeState(IdleState::GetInstance());
      break;
    default:
      break;
  }
}

// ---- soldiers of the same unit in the way --------------------------------------------------

bool InfantryMovementComponent::IsOwnUnitBlockingProto(SoldierEntity* soldier, float distance) {
  if (!soldier) return false;
  const float yaw = VIS_DEG2RAD(soldier->GetOrientation().x - 90.0f);
  const VisVector_cl direction(std::cos(yaw), std::sin(yaw), 0.0f);
  const VisVector_cl raised = soldier->GetPosition() + VisVector_cl(0.0f, 0.0f, 1.0f);
  VisTraceLineInfo_t trace;
  Vision::CollisionToolkit.TraceLine(raised + direction * (distance * 0.3f), raised + direction * distance, 0xffffffff,
                                     VIS_TRACE_ALL, soldier, nullptr, &trace);
  return DidHitOwnUnit(trace, soldier);
}

bool InfantryMovementComponent::DidHitOwnUnit(const VisTraceLineInfo_t& trace, SoldierEntity* soldier) {
  if (!soldier || !trace.IsEntityHit() || !trace.colliderEntity ||
      !trace.colliderEntity->IsOfType(SoldierEntity::GetClassTypeId()))
    return false;
  return static_cast<SoldierEntity*>(trace.colliderEntity)->GetParentUnit() == soldier->GetParentUnit();
}

// ---- saved block ------------------------------------------------------------------------------

void InfantryMovementComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kMovementVersion);
    ar << m_fSpeed << m_fSpeedMultiplier << m_vTarget << m_fTurnImpulse << m_bMoving << m_bDirectControl;
    ar << m_fFrontHitSpeedReduction << m_fSideHitSpeedReduction << m_fFrontHitTurnSpeed << m_fSideHitTurnSpeed;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "InfantryMovementComponent", kMovementVersion);
  if (!block.IsOpen()) return;
  float speed = 0.0f, multiplier = 1.0f, impulse = 0.0f;
  VisVector_cl target;
  bool moving = false, direct = false;
  float front = 0.0f, sideReduction = 0.0f, frontTurn = 0.0f, sideTurn = 0.0f;
  if (block.Has(2)) ar >> speed >> multiplier >> target >> impulse >> moving >> direct;
  if (block.Has(3)) ar >> front >> sideReduction >> frontTurn >> sideTurn;
  if (!block.End()) return;
  if (block.Has(2)) {
    m_fSpeed = speed;
    m_fSpeedMultiplier = multiplier;
    m_vTarget = target;
    m_fTurnImpulse = impulse;
    m_bMoving = moving;
    m_bDirectControl = direct;
  }
  if (block.Has(3)) {
    m_fFrontHitSpeedReduction = front;
    m_fSideHitSpeedReduction = sideReduction;
    m_fFrontHitTurnSpeed = frontTurn;
    m_fSideHitTurnSpeed = sideTurn;
  }
}
