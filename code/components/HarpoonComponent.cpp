// The harpoon: launch with barrel and rope, sticking in a ship, the pause hold, and
// floating, sinking and going in the water.
#include "components/HarpoonComponent.h"

#include "components/ShipMovementComponent.h"
#include "core/GameManager.h"
#include "entities/ClothEntity.h"
#include "entities/ProjectileEntity.h"
#include "entities/ProjectileOwner.h"
#include "entities/ShipEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"

#include "engine/Vision.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"

namespace {

const float kMuzzleAhead = 2.0f;
const float kArrowAhead = 6.4f;
const float kArrowScaling = 0.5f;
const float kArrowMass = 200.0f;
const float kArrowDrop = -0.5f;
const float kBarrelScaling = 1.25f;
const float kBarrelMass = 50.0f;
const float kBarrelSpeedShare = 0.25f;
// In the water the arrow is heavy and floats (no fall along z), the barrel light.
const float kFloatingMass = 500.0f;
const float kFloatingBarrelMass = 20.0f;
const float kWaterDamping = 1.0f;
const float kWetRopeStiffness = 0.2f;
// Sinking: the deeper, the faster.
const float kSinkSpeed = 0.75f;
const float kSinkPerDepth = 1.25f;

const char* const kArrowModel = "models\\props\\projectiles\\arrow\\arrow.Model";
const char* const kBarrelModel = "Models\\props\\debris\\debris_barrel_01.Model";
const char* const kRopeModel = "Models\\testmodels\\Rope.model";
const char* const kRopeConfig = "cloths/rope.xml";

vPhysXRigidBody* BodyOf(VisBaseEntity_cl* entity) { return entity ? entity->Components<vPhysXRigidBody>() : nullptr; }

ShipEntity* ShipOf(const vPhysXObject* object) {
  VisBaseEntity_cl* owner = object ? object->GetOwnerEntity() : nullptr;
  return owner && owner->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(owner) : nullptr;
}

// A world position as an offset in the ship's axes: taken in world axes, a harpoon
// would swing round to another place on a ship turned or heeled when it strikes.
VisVector_cl OffsetOnShip(const ShipEntity* ship, const VisVector_cl& at) {
  VisMatrix3x3_cl toShip = ship->GetRotationMatrix();
  if (!toShip.Invert()) toShip = ship->GetRotationMatrix().GetTransposed();
  const VisVector_cl offset = toShip * (at - ship->GetPosition());
  return VisVector_cl(offset.x, offset.y, offset.z, 1.0f);
}

ShipEntity* ParentShip(const VisBaseEntity_cl* entity) {
  VisObject3D_cl* parent = entity ? entity->GetParent() : nullptr;
  return parent && parent->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(parent) : nullptr;
}

void SetShipFactors(ShipEntity* ship, float factor) {
  if (ShipMovementComponent* movement = ship ? ship->Components<ShipMovementComponent>() : nullptr) {
    movement->SetSpeedFactor(factor);
    movement->SetTurnFactor(factor);
  }
}

// A body with the launch settings: convex (the model box), dynamic, the mass given.
vPhysXRigidBody* AddBody(VisBaseEntity_cl* entity, float mass) {
  auto* body = new vPhysXRigidBody();
  body->Initialize();
  body->SetMass(mass);
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  body->SetPhysicsMode(VPHYSX_MODE_DYNAMIC);
  if (!entity->AddComponent(body)) {
    body->DisposeObject();
    return nullptr;
  }
  return body;
}

// The rope's own values before its configuration is read.
ClothEntity::Parameters RopeParameters() {
  ClothEntity::Parameters p;
  p.thickness = 0.4f;
  p.selfCollisionThickness = 0.5f;
  p.friction = 1.0f;
  p.density = 0.5f;
  p.bendingStiffness = 1.0f;
  p.stretchingStiffness = 0.1f;
  p.dampingCoefficient = 0.45f;
  p.attachmentResponseCoefficient = 1.0f;
  p.solverIterations = 3;
  p.gravity = p.bending = p.bendingOrtho = p.damping = p.comDamping = true;
  p.hardware = false;  // no physics hardware here
  p.visualisation = false;
  return p;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(HarpoonComponent, IVObjectComponent)

HarpoonComponent::HarpoonComponent() : IVObjectComponent(0, 0) {}

HarpoonComponent::~HarpoonComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

int HarpoonComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* HarpoonComponent::GetProjectile() const { return ProjectileOwner::Of(GetOwner()); }

void HarpoonComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    LetGoOfShip();
    // Nothing else holds the barrel and the rope: they go with the harpoon.
    ReleaseRopeAndBarrel();
    Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
    IVObjectComponent::SetOwner(nullptr);
    return;
  }
  IVObjectComponent::SetOwner(owner);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
  // The game's own announcement also comes when the world is torn down at exit.
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  if (ProjectileEntity* harpoon = GetProjectile()) Launch(harpoon);
}

void HarpoonComponent::Launch(ProjectileEntity* harpoon) {
  const VisVector_cl d = harpoon->GetDirection();
  const VisVector_cl start = harpoon->GetPosition() + d * kMuzzleAhead;
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_HARPOON, 1.0f, start, 50.0f, 400.0f, false);

  if (!harpoon->HasMesh()) {
    harpoon->SetMesh(kArrowModel);
    harpoon->SetScaling(kArrowScaling);
    harpoon->SetEntityKey("Harpoon");
    harpoon->SetPosition(start + d * kArrowAhead);
    if (vPhysXRigidBody* body = AddBody(harpoon, kArrowMass)) {
      body->SetCollisionBitmask(0xffffffffu);
      body->SetContactReport(2);
      body->SetVelocity(VisVector_cl(d.x * m_fShootPower, d.y * m_fShootPower, kArrowDrop));
    }
  }

  // A launch again (a loaded harpoon) replaces the barrel and the rope.
  ReleaseRopeAndBarrel();
  m_pBarrel = Vision::Game.CreateEntity("VisBaseEntity_cl", start, kBarrelModel);
  if (m_pBarrel) {
    m_pBarrel->SetScaling(kBarrelScaling);
    m_pBarrel->SetEntityKey("AttachedDebris");
    m_pBarrel->SetRotationMatrix(harpoon->GetRotationMatrix());
    if (vPhysXRigidBody* body = AddBody(m_pBarrel, kBarrelMass)) {
      body->SetCollisionBitmask(0);
      body->SetContactReport(0);
      body->SetVelocity(d * (m_fShootPower * kBarrelSpeedShare));
    }
  }

  VisBaseEntity_cl* rope = Vision::Game.CreateEntity("ClothEntity", start + d * (kArrowAhead * 0.5f), kRopeModel);
  if (rope && rope->IsOfType(ClothEntity::GetClassTypeId())) {
    m_pRope = static_cast<ClothEntity*>(rope);
    m_pRope->SetRotationMatrix(harpoon->GetRotationMatrix());
    m_pRope->SetParameters(RopeParameters());
    m_pRope->SetConfigFile(kRopeConfig);
    m_pRope->CommonInit();
    m_pRope->AttachToEntity(harpoon);
    m_pRope->AttachToEntity(m_pBarrel);
  } else if (rope) {
    rope->Remove();
  }
}

void HarpoonComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT || p2 != VPHYSX_CONTACT_NOTIFY || !p1) return;
  ProjectileEntity* harpoon = GetProjectile();
  // A harpoon sticks in one ship: contacts still queued from that frame change nothing.
  if (!harpoon || m_pStuckShip) return;
  const auto& contact = *reinterpret_cast<const vPhysXContactRecord*>(p1);
  if (!contact.participant[0].pObject || !contact.participant[1].pObject) return;
  ShipEntity* ship = ShipOf(contact.participant[0].pObject);
  if (!ship) ship = ShipOf(contact.participant[1].pObject);
  // Its own ship is no target: the harpoon flies on.
  if (!ship || ship == harpoon->GetShooter()) return;
  HandleShipCollision(ship);
}

void HarpoonComponent::HandleShipCollision(ShipEntity* ship) {
  ProjectileEntity* harpoon = GetProjectile();
  vPhysXRigidBody* body = BodyOf(harpoon);
  if (!ship || !body) return;
  body->SetCollisionBitmask(0);
  body->SetVelocity(VisVector_cl(0, 0, 0));
  body->SetAngularVelocity(VisVector_cl(0, 0, 0));
  body->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
  harpoon->SetParentOffset(OffsetOnShip(ship, harpoon->GetPosition()));
  harpoon->AttachToParent(ship);
  if (m_pStuckShip && m_pStuckShip != ship) SetShipFactors(m_pStuckShip, 1.0f);
  m_pStuckShip = ship;
  SetShipFactors(ship, SLOWED_FACTOR);
}

void HarpoonComponent::LetGoOfShip() {
  ShipEntity* ship = ParentShip(GetProjectile());
  if (!ship) ship = m_pStuckShip;
  SetShipFactors(ship, 1.0f);
  m_pStuckShip = nullptr;
}

void HarpoonComponent::ReleaseRopeAndBarrel() {
  if (m_pRope && !m_pRope->IsMarkedRemoved()) m_pRope->Remove();
  if (m_pBarrel && !m_pBarrel->IsMarkedRemoved()) m_pBarrel->Remove();
  m_pRope = nullptr;
  m_pBarrel = nullptr;
}

void HarpoonComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
  } else if (data->m_pSender == &Vision::Callbacks.OnObjectDestroyed) {
    const VTypedObject* gone = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
    if (gone == m_pRope) m_pRope = nullptr;
    if (gone == m_pBarrel) m_pBarrel = nullptr;
    if (gone == m_pStuckShip) m_pStuckShip = nullptr;
  } else if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pStuckShip) m_pStuckShip = nullptr;
  }
}

void HarpoonComponent::HoldForPause(bool paused) {
  vPhysXRigidBody* arrow = BodyOf(GetProjectile());
  vPhysXRigidBody* barrel = BodyOf(m_pBarrel);
  if (paused) {
    if (!m_bVelocitiesHeld) {
      m_bVelocitiesHeld = true;
      m_vHeldVelocity = arrow ? arrow->GetVelocity() : VisVector_cl(0, 0, 0);
      m_vHeldAngularVelocity = arrow ? arrow->GetAngularVelocity() : VisVector_cl(0, 0, 0);
      m_vHeldBarrelVelocity = barrel ? barrel->GetVelocity() : VisVector_cl(0, 0, 0);
      m_vHeldBarrelAngularVelocity = barrel ? barrel->GetAngularVelocity() : VisVector_cl(0, 0, 0);
    }
    for (vPhysXRigidBody* body : {arrow, barrel}) {
      if (!body) continue;
      body->SetVelocity(VisVector_cl(0, 0, 0));
      body->SetAngularVelocity(VisVector_cl(0, 0, 0));
    }
    return;
  }
  if (!m_bVelocitiesHeld) return;
  m_bVelocitiesHeld = false;
  if (arrow) {
    arrow->SetVelocity(m_vHeldVelocity);
    arrow->SetAngularVelocity(m_vHeldAngularVelocity);
  }
  if (barrel) {
    barrel->SetVelocity(m_vHeldBarrelVelocity);
    barrel->SetAngularVelocity(m_vHeldBarrelAngularVelocity);
  }
}

void HarpoonComponent::EnterWater(ProjectileEntity* harpoon) {
  m_bInWater = true;
  vPhysXRigidBody* body = BodyOf(harpoon);
  if (NxActor* actor = body ? body->GetActor() : nullptr) {
    actor->setLinearVelocity(VisVector_cl(0, 0, 0));
    actor->setLinearDamping(kWaterDamping);
    actor->setAngularVelocity(VisVector_cl(0, 0, 0));
    actor->setAngularDamping(kWaterDamping);
    actor->setMass(kFloatingMass);
    actor->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
  }
  if (m_pRope) m_pRope->SetStretchingStiffness(kWetRopeStiffness);
  vPhysXRigidBody* barrelBody = BodyOf(m_pBarrel);
  if (NxActor* actor = barrelBody ? barrelBody->GetActor() : nullptr) {
    actor->setMass(kFloatingBarrelMass);
    actor->setLinearDamping(kWaterDamping);
  }
  const VisVector_cl at = body ? body->GetPosition() : harpoon->GetPosition();
  if (VisParticleEffectFile_cl* effect =
          VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\cannon_hit_ground_01.xml"))
    effect->CreateParticleEffectInstance(at, VisVector_cl(0, 0, 0));
  if (!ParentShip(harpoon)) m_fLifeTime *= OPEN_WATER_LIFE_SHARE;
  m_fTimeLeft = m_fLifeTime;
}

void HarpoonComponent::Update() {
  ProjectileEntity* harpoon = GetProjectile();
  if (!harpoon || harpoon->IsMarkedRemoved()) return;
  const bool paused = PauseManager::GetInstance()->IsGamePaused();
  HoldForPause(paused);
  if (paused || !m_pBarrel) return;

  if (!m_bInWater) {
    if (harpoon->GetPosition().z > 0.0f) return;
    EnterWater(harpoon);
  }
  const float dt = Vision::Timer.GetTimeDifference();
  m_fTimeLeft -= dt;
  if (m_fTimeLeft >= 0.0f) return;
  vPhysXRigidBody* body = BodyOf(harpoon);
  VisVector_cl p = body ? body->GetPosition() : harpoon->GetPosition();
  const float sink = (kSinkSpeed - kSinkPerDepth * p.z) * dt;
  p.z -= sink;
  // On a ship the harpoon follows its offset: lower it too, or the next move of the
  // ship would lift the harpoon back and it would never go.
  if (ShipEntity* ship = ParentShip(harpoon)) harpoon->SetParentOffset(OffsetOnShip(ship, p));
  if (body)
    body->SetPosition(p);
  else
    harpoon->SetPosition(p);
  if (p.z < GONE_DEPTH) {
    ReleaseRopeAndBarrel();
    harpoon->RemoveAll();
  }
}
