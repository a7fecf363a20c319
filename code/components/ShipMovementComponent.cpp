// Ship movement: heading, speed, waves, the rigid body and the game-area border.
#include "components/ShipMovementComponent.h"

#include "components/AIShipComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <algorithm>
#include <cmath>

namespace {

const char kBlockVersion = 3;
const float kTwoPi = 6.2831853f;
// How fast the current speed may approach the sail speed, per second.
const float kAcceleration = 5.0f;
// Sound flags of the sailing sound: looped, and kept by the game.
const int kSailingSoundFlags = 0x11;
// Record nation whose ships are wrapped in mist (message 36 each frame).
const int kMistNation = 5;
const int kMistMessage = 36;
// Items whose effects change ship speed.
const int kWindInABottle = 34;
const int kBanana = 8;
const int kPocketwatch = 19;

bool IsPaused() { return PauseManager::GetInstance()->IsAnyPaused(); }

float FrameTime() { return Vision::Timer.GetTimeDifference(); }

// The ship's AI, or null.
AIShipComponent* AIOf(ShipEntity* ship) { return ship ? ship->Components<AIShipComponent>() : nullptr; }

// The effect of an item while it is active, else nothing.
bool ActiveEffect(int id, float& effect) {
  if (!ArtifactManager::HasInstance() || !ArtifactManager::GetInstance()->IsActive(id)) return false;
  effect = ArtifactManager::GetInstance()->GetEffect(id);
  return true;
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(ShipMovementComponent, BaseComponent, &ShipMovementComponent::BuildVarList)

void ShipMovementComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedWithCurrentSails, "Current sails Speed factor of the ship entity", "0.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fTurnSpeedWithCurrentSails, "Current sails Turn factor of the ship entity",
            "0.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedFullSails, "Full Sails Speed of the ship entity", "4.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedNoSails, "No Sails Speed of the ship entity", "1.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedBattleSails, "Battle Sails Speed of the ship entity", "2.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedFullSailsTurning, "turning speed in full sails", "30.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedBattleSailsTurning, "turning speed in battle sails", "40.0f");
  VAR_FLOAT(t, ShipMovementComponent, m_fSpeedNoSailsTurning, "turning speed while no sails", "5.0f");
}

ShipMovementComponent::ShipMovementComponent()
    : m_fRollPhase(kTwoPi * MathTools::RandomFloat()), m_fPitchPhase(kTwoPi * MathTools::RandomFloat()) {}

ShipMovementComponent::~ShipMovementComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnPhysicsSimulationFinished.DeregisterCallback(this);
}

int ShipMovementComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}

ShipEntity* ShipMovementComponent::GetShip() const {
  return m_pOwner && m_pOwner->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(m_pOwner) : nullptr;
}

vPhysXRigidBody* ShipMovementComponent::GetRigidBody() const {
  return m_pOwner ? m_pOwner->Components<vPhysXRigidBody>() : nullptr;
}

float ShipMovementComponent::WrapHeading(float angle) { return MathTools::WrapAngle(angle); }

void ShipMovementComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    Vision::Callbacks.OnPhysicsSimulationFinished.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnPhysicsSimulationFinished.RegisterCallback(this);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  vPhysXRigidBody* body = GetRigidBody();
  if (body && body->GetActor()) {
    m_fHeading = body->GetRotation().x;
    m_fTargetHeading = WrapHeading(m_fHeading);
    // The ship floats on the water plane.
    body->GetActor()->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
  } else if (ShipEntity* ship = GetShip()) {
    // A ship without a simulated body keeps the heading it was placed with.
    m_fHeading = ship->GetOrientation().x;
    m_fTargetHeading = WrapHeading(m_fHeading);
  }
}

void ShipMovementComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

// ---- messages ----------------------------------------------------------------------

void ShipMovementComponent::TurnLeft() {
  if (!m_bOverBorder) m_fTargetHeading = WrapHeading(m_fHeading + 5.0f);
}

void ShipMovementComponent::TurnRight() {
  if (!m_bOverBorder) m_fTargetHeading = WrapHeading(m_fHeading - 5.0f);
}

void ShipMovementComponent::SetTargetHeading(float heading) { m_fTargetHeading = WrapHeading(heading); }

void ShipMovementComponent::SetTargetHeading(const VisVector_cl& point) {
  SetTargetHeading(CalculateHeadingTo(point));
}

void ShipMovementComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  switch (id) {
    case VIS_MSG_USER_SHIP_NOSAILS:
      m_fSpeedWithCurrentSails = m_fSpeedNoSails;
      m_fTurnSpeedWithCurrentSails = m_fSpeedNoSailsTurning;
      break;
    case VIS_MSG_USER_SHIP_BATTLESAILS:
      m_fSpeedWithCurrentSails = m_fSpeedBattleSails;
      m_fTurnSpeedWithCurrentSails = m_fSpeedBattleSailsTurning;
      break;
    case VIS_MSG_USER_SHIP_FULLSAILS:
      m_fSpeedWithCurrentSails = m_fSpeedFullSails;
      m_fTurnSpeedWithCurrentSails = m_fSpeedFullSailsTurning;
      break;
    case VIS_MSG_USER_SHIP_TURNLEFT: TurnLeft(); break;
    case VIS_MSG_USER_SHIP_TURNRIGHT: TurnRight(); break;
    case VIS_MSG_USER_SHIP_SETCURRENTHEADING:
      if (p1) m_fHeading = *reinterpret_cast<const float*>(p1);
      break;
    case VIS_MSG_USER_SHIP_SETTARGETHEADING:
      if (p1) SetTargetHeading(*reinterpret_cast<const float*>(p1));
      break;
    case VIS_MSG_USER_SHIP_SINK:
      m_bSinking = true;
      m_fSpeedWithCurrentSails = 0.0f;
      if (vPhysXRigidBody* body = GetRigidBody())
        if (body->GetActor()) body->GetActor()->clearBodyFlag(NX_BF_FROZEN_POS_Z);
      break;
    default: break;
  }
}

// ---- per frame ------------------------------------------------------------------------

void ShipMovementComponent::Update() {
  ShipEntity* ship = GetShip();
  if (!ship || ship->IsMarkedRemoved()) return;
  if (ship->GetDisableMovementOneFrame()) return;
  const float dt = FrameTime();
  if (!m_bSinking) MovementStep(ship, dt);
  if (m_fPhysicsHoldTime > 0.0f) m_fPhysicsHoldTime = std::max(0.0f, m_fPhysicsHoldTime - dt);
}

float ShipMovementComponent::CalcRoll() {
  const bool land = GameManager::GetInstance()->GetLocation() == 1;
  m_fRollPhase += FrameTime() * (land ? 1.5f : 2.0f);
  while (m_fRollPhase > kTwoPi) m_fRollPhase -= kTwoPi;
  return std::sin(m_fRollPhase) * (land ? 1.5f : 3.0f);
}

float ShipMovementComponent::CalcPitch() {
  const bool land = GameManager::GetInstance()->GetLocation() == 1;
  m_fPitchPhase += FrameTime() * (land ? 0.75f : 1.0f);
  while (m_fPitchPhase > kTwoPi) m_fPitchPhase -= kTwoPi;
  return std::sin(m_fPitchPhase) * (land ? 1.5f : 3.0f);
}

void ShipMovementComponent::MovementStep(ShipEntity* ship, float dt) {
  const bool paused = IsPaused();

  // Heading.
  const float turn = paused ? 0.0f : CalcTurnSpeed();
  if (std::fabs(turn) > 0.001f) m_fHeading = WrapHeading(m_fHeading + turn);

  // Waves, which keep rolling while the game is paused.
  m_fRoll = CalcRoll();
  m_fPitch = CalcPitch();
  const VisVector_cl orientation(m_fHeading, m_fPitch, m_fRoll);
  vPhysXRigidBody* body = GetRigidBody();
  if (body)
    body->SetRotation(orientation);
  else
    ship->SetOrientation(orientation);

  ShipStats* stats = ship->GetStats();
  if (stats && stats->GetNation() == kMistNation) ship->SendMsg(kMistMessage, 0, 0);

  // Multipliers, frozen while a boost runs.
  if (m_fBoostTime > 0.0f) {
    m_fBoostTime -= dt;
  } else if (stats) {
    m_fSpeedMultiplier = m_fSpeedFactor * stats->GetSpeedMultiplier();
    m_fTurnMultiplier = m_fTurnFactor * stats->GetTurnMultiplier();
    if (!(m_fTurnMultiplier >= -1000000.0f && m_fTurnMultiplier <= 1000000.0f)) m_fTurnMultiplier = 0.0f;
  }

  const float speed = CalcForwardSpeed();
  UpdateSailingSound(ship, speed);
  const float w = speed * 1.5f;
  m_fLastForwardSpeed = w;

  // A stink cloud that lifts or holds the ship sets its height and velocity in this
  // frame; once out of the cloud the ship floats on the water again.
  const bool stunk = ship->GetStinkFlag();
  ship->SetStinkFlag(false);

  const VisVector_cl dir = ship->GetDirection();
  NxActor* actor = body ? body->GetActor() : nullptr;
  if (!actor) {
    // Moved directly (also a body nothing simulates): the speed is per second, as
    // the body's velocity is.
    if (!paused) ship->IncPosition(VisVector_cl(dir.x * w * dt, dir.y * w * dt, dir.z * w * dt));
  } else if (m_fPhysicsHoldTime <= 0.0f && !stunk) {
    actor->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
    VisVector_cl position = body->GetPosition();
    if (position.z != 0.0f) {
      position.z = 0.0f;
      body->SetPosition(position);
    }
    actor->setLinearVelocity(paused ? VisVector_cl(0, 0, 0) : VisVector_cl(dir.x * w, dir.y * w, 0.0f));
    actor->setAngularVelocity(VisVector_cl(0, 0, 0));
  }

  KeepInsideGameArea(ship);
}

void ShipMovementComponent::UpdateSailingSound(ShipEntity* ship, float speed) {
  if (speed > 0.0f) {
    if (!m_spSailingSound) {
      m_spSailingSound = SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_MOVE_SHIP, 1.0f, ship->GetPosition(), 30.0f,
                                                                   80.0f, false);
      if (m_spSailingSound) m_spSailingSound->AddStateFlags(kSailingSoundFlags);
    } else {
      m_spSailingSound->SetPosition(ship->GetPosition());
      if (!m_spSailingSound->IsPlaying()) m_spSailingSound->Play();
    }
  } else if (m_spSailingSound) {
    m_spSailingSound->Stop();
  }
}

void ShipMovementComponent::KeepInsideGameArea(ShipEntity* ship) {
  GameManager* game = GameManager::GetInstance();
  if (game->GetLocation() != 0 || game->GetPlayerEntity() != ship) return;
  float side = 0.0f;
  if (GameSessionManager::GetInstance()->IsPlayerShipInsideGameArea(&side)) {
    m_bOverBorder = false;
    return;
  }
  if (!m_bOverBorder) {
    m_bOverBorder = true;
    SpeechManager::GetInstance()->Say(ship, LocalizationTable::GetInstance()->GetText("str_OVER_MAP_BORDER"), 3.0f);
    return;
  }
  m_fSpeedWithCurrentSails = m_fSpeedFullSails;
  m_fTurnSpeedWithCurrentSails = m_fSpeedFullSailsTurning;
  m_fTargetHeading = m_fHeading + 5.0f * side;
}

// ---- speed and turning ---------------------------------------------------------------------

float ShipMovementComponent::CalcForwardSpeed() {
  ShipEntity* ship = GetShip();
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats) return 0.0f;
  const float dt = FrameTime();

  float target = m_fSpeedWithCurrentSails;
  AIShipComponent* ai = AIOf(ship);
  if (ai && ai->IsAvoidingCollision()) {
    const float fraction = ai->GetFreeWaterRatio();
    target *= std::clamp(fraction * fraction, 0.05f, 0.9f);
  }
  // An untracked or empty maximum does not slow the ship.
  const Hitpoints& hull = stats->GetHull();
  const float hullFactor =
      hull.GetMaximum() > 0 ? std::clamp((float)hull.GetCurrent() / (float)hull.GetMaximum(), 0.5f, 1.0f) : 1.0f;
  target *= hullFactor;

  const float step = kAcceleration * dt;
  if (m_fCurrentSpeed < target)
    m_fCurrentSpeed = std::min(m_fCurrentSpeed + step, target);
  else if (m_fCurrentSpeed > target)
    m_fCurrentSpeed = std::max(m_fCurrentSpeed - step, target);

  float effect = 0.0f;
  if (ship == GameManager::GetInstance()->GetPlayerEntity()) {
    const float bonus = ActiveEffect(kWindInABottle, effect) ? effect : 0.0f;
    float playerFactor = 1.0f;
    if (ActiveEffect(kBanana, effect)) playerFactor += effect;
    return playerFactor * (m_fSpeedMultiplier * m_fCurrentSpeed) + bonus;
  }
  float result = m_fSpeedMultiplier * m_fCurrentSpeed;
  if (ActiveEffect(kPocketwatch, effect)) result *= 1.0f - effect;
  return result;
}

float ShipMovementComponent::CalcTurnSpeed() {
  ShipEntity* ship = GetShip();
  if (!ship) return 0.0f;
  const float dt = FrameTime();
  AIShipComponent* ai = AIOf(ship);

  const float rate = m_fTurnSpeedWithCurrentSails;
  float step = rate * dt;
  const float slowZone = ai ? 0.3f * rate : 5.0f;
  const float maxChange = 2.0f * dt;

  const float heading = WrapHeading(m_fHeading);
  const float target = WrapHeading(m_fTargetHeading);
  float d = std::fabs(heading - target);
  if (d > 180.0f) d = 360.0f - d;

  if (ai) {
    if (!ai->IsAvoidingCollision()) {
      if (d > 90.0f) step *= 2.0f;
    } else {
      step *= std::max((1.0f - std::max(ai->GetFreeWaterRatio(), 0.2f)) * 8.0f, 2.0f);
    }
  }

  step = std::min(step, d);
  // Turn the shorter way round.
  if (MathTools::AngleDiff(heading + step, target) > d) step = -step;
  if (d < slowZone && slowZone > 0.0f) step *= std::min(d / slowZone, 1.0f);

  // Turn acceleration: the step may differ from the last one by at most maxChange.
  const float prev = m_fTurnSpeed * dt;
  if (step > prev)
    step = prev + std::min(step - prev, maxChange);
  else if (step < prev)
    step = prev - std::min(prev - step, maxChange);

  // Without AI a ship that would swing back past its target stops turning instead.
  if (!ai && ((prev > 0.0f && step < 0.0f) || (prev < 0.0f && step > 0.0f)) && m_fTargetHeading == m_fLastTargetHeading)
    m_fTargetHeading = m_fHeading;

  m_fTurnSpeed = dt != 0.0f ? step / dt : 0.0f;
  m_fLastTargetHeading = m_fTargetHeading;
  return m_fTurnMultiplier * step;
}

float ShipMovementComponent::CalculateHeadingTo(const VisVector_cl& target) {
  ShipEntity* ship = GetShip();
  if (!ship) return 0.0f;
  VisMatrix3x3_cl look;
  VisMath_cl::MatrixLookAt(look, ship->GetPosition(), target, VisVector_cl(0, 0, 1));
  return VisMath_cl::MatrixToEuler(look).x;
}

// ---- saved block ---------------------------------------------------------------------------

void ShipMovementComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool ShipMovementComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fLastForwardSpeed << m_fTurnSpeed << m_fCurrentSpeed << m_fHeading << m_fTargetHeading;
    ar << m_fSpeedMultiplier << m_fTurnMultiplier << m_fBoostTime;
    ar << m_fSpeedFullSails << m_fSpeedBattleSails << m_fSpeedNoSails;
    ar << m_fSpeedFullSailsTurning << m_fSpeedBattleSailsTurning << m_fSpeedNoSailsTurning;
    ar << m_fSpeedWithCurrentSails << m_fTurnSpeedWithCurrentSails << m_fRollPhase << m_fPitchPhase;
    ar << m_bSinking;
    ar << m_fSpeedFactor << m_fTurnFactor;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ShipMovementComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  // The floats of version 2, in the order written.
  float* const speeds[] = {&m_fLastForwardSpeed,      &m_fTurnSpeed,               &m_fCurrentSpeed,
                           &m_fHeading,               &m_fTargetHeading,           &m_fSpeedMultiplier,
                           &m_fTurnMultiplier,        &m_fBoostTime,               &m_fSpeedFullSails,
                           &m_fSpeedBattleSails,      &m_fSpeedNoSails,            &m_fSpeedFullSailsTurning,
                           &m_fSpeedBattleSailsTurning, &m_fSpeedNoSailsTurning,   &m_fSpeedWithCurrentSails,
                           &m_fTurnSpeedWithCurrentSails, &m_fRollPhase,           &m_fPitchPhase};
  constexpr int kSpeeds = (int)(sizeof(speeds) / sizeof(speeds[0]));
  float read[kSpeeds] = {};
  decltype(m_bSinking) sinking = m_bSinking;
  float speedFactor = m_fSpeedFactor, turnFactor = m_fTurnFactor;
  if (block.Has(2)) {
    for (float& value : read) ar >> value;
    ar >> sinking;
  }
  if (block.Has(3)) ar >> speedFactor >> turnFactor;
  if (!block.End()) return false;
  if (block.Has(2)) {
    for (int i = 0; i < kSpeeds; ++i) *speeds[i] = read[i];
    m_bSinking = sinking;
  }
  m_fSpeedFactor = speedFactor;
  m_fTurnFactor = turnFactor;
  return true;
}
