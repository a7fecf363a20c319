// The gate cannon: aiming by turning, the single heavy shot and its stand-in shooter.
#include "components/DLC1SpecialCannonComponent.h"

#include "components/SceneCannonTools.h"
#include "core/CallbackManager.h"
#include "core/GameManager.h"

#include "engine/base/VisMath.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"

namespace {
const char* const kGateKey = "GateDestroyable";
}  // namespace

V_IMPLEMENT_DYNCREATE(DLC1SpecialCannonComponent, BaseComponent)

DLC1SpecialCannonComponent::~DLC1SpecialCannonComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  ReleaseShooter();
}

int DLC1SpecialCannonComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType(BaseEntity::GetClassTypeId())) {
    reason = "Component can only be added to instances of BaseEntity or derived classes.";
    return 0;
  }
  return 1;
}

void DLC1SpecialCannonComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void DLC1SpecialCannonComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
  } else if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (gone == m_pShooter) m_pShooter = nullptr;
    if (gone == m_pBall) {
      m_pBall = nullptr;
      ReleaseShooter();
    }
    if (!m_pShooter && !m_pBall) GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  }
}

void DLC1SpecialCannonComponent::ReleaseShooter() {
  BaseEntity* shooter = m_pShooter;
  m_pShooter = nullptr;
  if (shooter && !shooter->IsMarkedRemoved()) shooter->Remove();
}

void DLC1SpecialCannonComponent::Update() {
  VisTypedEngineObject_cl* ownerObject = GetOwner();
  if (!SceneCannon::IsShown(ownerObject) || !m_bActive) return;
  auto* owner = static_cast<VisBaseEntity_cl*>(ownerObject);
  if (m_iState == STATE_AIMING) {
    // Without a gate there is nothing to aim at: the cannon waits.
    VisBaseEntity_cl* gate = Vision::Game.SearchEntity(kGateKey);
    if (!gate) return;
    VisVector_cl orientation = owner->GetOrientation();
    orientation.x += Vision::Timer.GetTimeDifference() * TURN_SPEED;
    owner->SetOrientation(orientation);
    VisVector_cl toGate = gate->GetPosition() - owner->GetPosition();
    toGate.z = 0.0f;
    VisVector_cl facing = owner->GetDirection();
    facing.z = 0.0f;
    if (VisMath_cl::AngleBetweenVectors(facing, toGate) <= AIM_ANGLE) m_iState = STATE_AIMED;
  } else if (m_iState == STATE_AIMED) {
    Fire();
    m_bActive = false;
    m_iState = STATE_SPENT;
  }
}

void DLC1SpecialCannonComponent::Fire() {
  VisTypedEngineObject_cl* ownerObject = GetOwner();
  if (!ownerObject || !ownerObject->IsOfType(VisObject3D_cl::GetClassTypeId())) return;
  auto* owner = static_cast<VisObject3D_cl*>(ownerObject);
  AreaEffectProjectileEntity* ball =
      SceneCannon::MakeShell(owner->GetPosition(), "models\\props\\cannon_ball\\cannon_ball.MODEL");
  if (!ball) return;
  ball->SetSpeed(SHOT_SPEED);
  ball->SetDamage(SHOT_DAMAGE);
  ball->SetProjectileType(PROJECTILE_BALL);
  ball->SetMaxHeight(1.0f);
  ball->SetCastShadows(true);
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (!player) return;
  ReleaseShooter();
  VisBaseEntity_cl* made = Vision::Game.CreateEntity("BaseEntity", player->GetPosition());
  if (made && made->IsOfType(BaseEntity::GetClassTypeId())) {
    m_pShooter = static_cast<BaseEntity*>(made);
    m_pShooter->SetNation(SHOOTER_NATION);
    m_pShooter->SetSave(false);
    m_pShooter->SetVisibleBitmask(0);
    ball->SetShooter(m_pShooter);
    m_pBall = ball;
    GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  }
  if (VisBaseEntity_cl* gate = Vision::Game.SearchEntity(kGateKey)) ball->SetTarget(gate->GetPosition());
}
