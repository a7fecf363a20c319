// The roped whale: its body and swim, the place beside its ship, the rope, and the
// dive once it is free.
#include "entities/WhaleEntity.h"

#include "components/ShipBattleComponent.h"
#include "core/GameManager.h"
#include "entities/ClothEntity.h"
#include "entities/ShipEntity.h"

#include "engine/Vision.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisCallbacks.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"

namespace {

const char* const kSwimAnimation = "Whale_Swim";
const char* const kRopeModel = "Models\\testmodels\\Rope.model";
const char* const kRopeConfig = "cloths/rope.xml";
const float kBodyMass = 50.0f;
const float kActorMass = 500.0f;
const float kDamping = 1.0f;
const float kRopeAhead = 4.0f;
const float kRopeUp = 1.0f;
const float kRopeScaling = 4.0f;
const float kTurnYaw = 10.0f;
const float kTurnPitch = 5.0f;

// The ship's rotation followed by a quarter turn about the yaw.
VisMatrix3x3_cl BesideRotation(const ShipEntity* ship) {
  VisMatrix3x3_cl quarter;
  quarter.SetEulerAngles(90.0f, 0.0f, 0.0f);
  return ship->GetRotationMatrix() * quarter;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(WhaleEntity, BaseEntity)

WhaleEntity::WhaleEntity() {
  SetUseEulerAngles(false);
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

WhaleEntity::~WhaleEntity() {
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void WhaleEntity::InitFunction() {
  BaseEntity::InitFunction();
  CommonInit();
}

void WhaleEntity::DeInitFunction() {
  Detach();
  BaseEntity::DeInitFunction();
}

void WhaleEntity::OnDeserializationCallback(void* context) {
  BaseEntity::OnDeserializationCallback(context);
  CommonInit();
}

void WhaleEntity::CommonInit() {
  SetScaling(VisVector_cl(SCALING, SCALING, SCALING));
  VisAnimConfig_cl::StartSkeletalAnimation(this, kSwimAnimation, VANIMCTRL_LOOP, 1.0f);
  vPhysXRigidBody* body = Components<vPhysXRigidBody>();
  if (body) {
    // A body read from a save got its actor before the whale's pose, mesh and scaling
    // were read: made again here, where the whale is. Its actor values are not saved.
    body->RebuildActor();
  } else {
    body = new vPhysXRigidBody();
    body->Initialize();
    body->SetMass(kBodyMass);
    body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
    if (!AddComponent(body)) {
      body->DisposeObject();
      return;
    }
    body->SetCollisionBitmask(0);
    body->SetContactReport(0);
  }
  if (NxActor* actor = body->GetActor()) {
    actor->setLinearVelocity(VisVector_cl(0, 0, 0));
    actor->setAngularVelocity(VisVector_cl(0, 0, 0));
    actor->setLinearDamping(kDamping);
    actor->setAngularDamping(kDamping);
    actor->setMass(kActorMass);
    actor->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
  }
}

void WhaleEntity::RemoveRope() {
  if (m_pRope && !m_pRope->IsMarkedRemoved()) m_pRope->Remove();
  m_pRope = nullptr;
}

void WhaleEntity::Attach(ShipEntity* ship) {
  RemoveRope();
  m_pShip = nullptr;
  if (!ship) return;
  m_pShip = ship;
  HoldBesideShip();
  MakeRope();
}

void WhaleEntity::Detach() {
  RemoveRope();
  m_pShip = nullptr;
}

void WhaleEntity::HoldBesideShip() {
  const VisMatrix3x3_cl rotation = BesideRotation(m_pShip);
  const VisVector_cl place = m_pShip->GetPosition() + m_pShip->GetRotationMatrix().GetColumn(1) * SIDE_DISTANCE;
  if (vPhysXRigidBody* body = Components<vPhysXRigidBody>()) {
    body->SetPose(place, rotation);
  }
  // The body writes its pose back only after the next physics step.
  SetPosition(place);
  SetRotationMatrix(rotation);
}

void WhaleEntity::MakeRope() {
  const VisVector_cl middle = (GetPosition() + m_pShip->GetPosition()) * 0.5f;
  const VisVector_cl at = middle + GetDirection() * kRopeAhead + VisVector_cl(0, 0, kRopeUp);
  VisBaseEntity_cl* made = Vision::Game.CreateEntity("ClothEntity", at, kRopeModel);
  if (!made) return;
  if (!made->IsOfType(ClothEntity::GetClassTypeId())) {
    made->Remove();
    return;
  }
  m_pRope = static_cast<ClothEntity*>(made);
  m_pRope->SetOrientation(90.0f, 0.0f, 0.0f);
  m_pRope->SetScaling(VisVector_cl(kRopeScaling, kRopeScaling, kRopeScaling));
  m_pRope->SetConfigFile(kRopeConfig);
  m_pRope->CommonInit();
  m_pRope->AttachToEntity(this);
  m_pRope->AttachToEntity(m_pShip);
}

void WhaleEntity::ThinkFunction() {
  if (m_pShip) {
    ShipBattleComponent* battle = m_pShip->Components<ShipBattleComponent>();
    if ((battle && battle->IsSinking()) || m_pShip->IsMarkedRemoved())
      Detach();
    else
      HoldBesideShip();
    return;
  }
  if (vPhysXRigidBody* body = Components<vPhysXRigidBody>()) {
    RemoveComponent(body);
    body->DisposeObject();
  }
  const float dt = Vision::Timer.GetTimeDifference();
  SetPosition(GetPosition() - GetRotationMatrix().GetColumn(1) * (SWIM_SPEED * dt));
  IncOrientation(VisVector_cl(kTurnYaw * dt, kTurnPitch * dt, 0.0f));
  SetPosition(GetPosition() - VisVector_cl(0, 0, DIVE_SPEED * dt));
  if (GetPosition().z < GONE_DEPTH && !IsMarkedRemoved()) Remove();
}

void WhaleEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnObjectDestroyed) {
    // A ship that is freed before the next think must not be followed.
    const VTypedObject* gone = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
    if (gone == m_pShip) Detach();
    if (gone == m_pRope) m_pRope = nullptr;
    return;
  }
  // The game's own announcement also comes when the world is torn down at exit.
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pShip) m_pShip = nullptr;
    return;
  }
  BaseEntity::OnHandleCallback(data);
}
