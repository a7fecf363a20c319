// The ship rocket's launch, straight flight, homing, contacts, splash and explosion.
#include "components/RocketComponent.h"
#include "entities/ProjectileOwner.h"

#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "entities/MsgPosOri.h"
#include "entities/Nation.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "Managers/BattleManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundObject.h"

#include <algorithm>
#include <cmath>

namespace {

const int kMsgRocketHit = 25;
// Collision bitmasks: the player's rockets meet the AI ships (and the world), the
// others' rockets meet the player's ships.
const unsigned kPlayerRocketMask = 12;
const unsigned kOtherRocketMask = 10;
const int kContactReport = 2;
// Homing: the turn rate grows by this over the distance each frame.
const float kTurnGrowth = 5.0f;
const float kPi = 3.14159265f;

void SpawnEffect(const char* file, const VisVector_cl& position) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, VisVector_cl(0, 0, 0));
}

bool FiredByPlayerNation(const ProjectileEntity* rocket) {
  const VisBaseEntity_cl* shooter = rocket->GetShooter();
  const Nation* player = GameManager::GetInstance()->GetPlayerNation();
  return shooter && player && shooter->IsOfType(BaseEntity::GetClassTypeId()) &&
         static_cast<const BaseEntity*>(shooter)->GetNation() == player->GetNationId();
}

VisBaseEntity_cl* OwnerOf(const vPhysXObject* object) { return object ? object->GetOwnerEntity() : nullptr; }

ShipEntity* AsShip(VisBaseEntity_cl* e) {
  return e && e->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(e) : nullptr;
}

bool IsProjectile(const VisBaseEntity_cl* e) { return e && e->IsOfType(ProjectileEntity::GetClassTypeId()); }

}  // namespace

V_IMPLEMENT_DYNCREATE(RocketComponent, IVObjectComponent)

RocketComponent::RocketComponent() : IVObjectComponent(0, 0) {}

RocketComponent::~RocketComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

int RocketComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* RocketComponent::GetProjectile() const { return ProjectileOwner::Of(GetOwner()); }

void RocketComponent::SetTarget(ShipEntity* target) {
  m_pTarget = target;
  if (target)
    GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  else
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void RocketComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    SetTarget(nullptr);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  ProjectileEntity* rocket = GetProjectile();
  if (rocket && !rocket->HasMesh() && !m_bRestored) Launch(rocket);
}

void RocketComponent::Serialize(VArchive& ar) {
  IVObjectComponent::Serialize(ar);
  if (ar.IsLoading()) m_bRestored = true;
}

void RocketComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
  } else if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    // Only the address is compared: the ship is half destroyed by now.
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pTarget) SetTarget(nullptr);
  }
}

void RocketComponent::Launch(ProjectileEntity* rocket) {
  rocket->SetMesh("models\\props\\projectiles\\rocket\\rocket.MODEL");
  rocket->SetEntityKey("Rocket");

  auto* body = new vPhysXRigidBody();
  body->Initialize();
  body->SetMass(MASS);
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  body->SetPhysicsMode(VPHYSX_MODE_DYNAMIC);
  if (rocket->AddComponent(body)) {
    body->SetCollisionBitmask(FiredByPlayerNation(rocket) ? kPlayerRocketMask : kOtherRocketMask);
    body->SetContactReport(kContactReport);
    if (NxActor* actor = body->GetActor()) actor->raiseBodyFlag(NX_BF_DISABLE_GRAVITY);
  } else {
    body->DisposeObject();
  }

  const float volume = (MathTools::RandomFloat() + 1.0f) * 0.5f;
  m_spFlightSound = SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_ROCKET_SHIP, volume,
                                                              rocket->GetPosition(), 30.0f, 400.0f, false);
  if (m_spFlightSound) {
    m_spFlightSound->AddStateFlags(VSOUND_KEPT);
    m_spFlightSound->AttachToParent(rocket);
  }

  m_fFuel = 5.0f + MathTools::RandomFloat();
  m_fSpeed += 14.0f * MathTools::RandomFloat() - 2.0f;
  m_fTurnRate += 0.1f * MathTools::RandomFloat();
}

void RocketComponent::Update() {
  ProjectileEntity* rocket = GetProjectile();
  if (!rocket || rocket->IsMarkedRemoved()) return;
  vPhysXRigidBody* body = rocket->Components<vPhysXRigidBody>();
  if (PauseManager::GetInstance()->IsGamePaused()) {
    if (body) {
      body->SetVelocity(VisVector_cl(0, 0, 0));
      body->SetAngularVelocity(VisVector_cl(0, 0, 0));
    }
    return;
  }

  // The body of a rocket read back from a save is made anew: it flies without gravity too.
  if (NxActor* actor = body ? body->GetActor() : nullptr)
    if (!actor->readBodyFlag(NX_BF_DISABLE_GRAVITY)) actor->raiseBodyFlag(NX_BF_DISABLE_GRAVITY);

  const float dt = Vision::Timer.GetTimeDifference();
  m_fFuel -= dt;
  if (m_fStraightTime > 0.0f) m_fStraightTime -= dt;

  if (body) {
    if (m_fStraightTime > 0.0f) {
      body->SetVelocity(body->GetRotationMatrix().GetColumn(0) * m_fSpeed);
      body->SetAngularVelocity(VisVector_cl(0, 0, 0));
    } else {
      if (!m_pTarget) SetTarget(BattleManager::GetInstance()->GetClosestHostileShip(rocket->GetPosition(), rocket->GetNation()));
      // Without a ship to home on the rocket flies on as it is; its fuel still burns.
      if (m_pTarget) Steer(rocket, body, dt);
    }
  }

  // Played to its end (the sound object rewinds as it ends).
  if (m_spFlightSound && (m_spFlightSound->IsFinished() ||
                          m_spFlightSound->GetPlayPosition() >= m_spFlightSound->GetLength())) {
    m_spFlightSound->Stop();
    m_spFlightSound->DisposeObject();
    m_spFlightSound = nullptr;
  }

  const VisVector_cl at = rocket->GetPosition();
  if (at.z < 0.0f) {
    SpawnEffect("Particles\\debris_splash_01.xml", at);
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_WATER, 1.0f, at, 50.0f, 400.0f, false);
    rocket->RemoveAll();
    return;
  }
  if (m_fFuel <= 0.0f) Explode();
}

void RocketComponent::Steer(ProjectileEntity* rocket, vPhysXRigidBody* body, float dt) {
  const VisVector_cl from = rocket->GetPosition();
  const VisVector_cl to = m_pTarget->GetPosition();
  const float distance = MathTools::DistanceBetweenVectors(from, to);
  // On top of its target there is no direction to turn to.
  if (!(distance > 1e-4f)) return;

  VisMatrix3x3_cl wanted;
  VisMath_cl::MatrixLookAt(wanted, from, to, VisVector_cl(0, 0, 1));
  m_fTurnRate *= kTurnGrowth / distance + 1.0f;
  const float t = std::min(m_fTurnRate * dt, 1.0f);

  const VisMatrix3x3_cl current = body->GetRotationMatrix();
  float a[4], b[4], blended[4];
  Matrix3x3ToQuaternion(current.m, a);
  Matrix3x3ToQuaternion(wanted.m, b);
  SlerpQuaternion(a, b, t, blended);
  VisMatrix3x3_cl turned;
  QuaternionToMatrix3x3(blended, turned.m);
  body->SetRotationMatrix(turned);
  body->SetVelocity(turned.GetColumn(0) * m_fSpeed);
  body->SetAngularVelocity(VisVector_cl(0, 0, 0));
}

void RocketComponent::Explode() {
  ProjectileEntity* rocket = GetProjectile();
  if (!rocket) return;
  const VisVector_cl at = rocket->GetPosition();
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_ROCKET, 1.0f, at, 50.0f, 400.0f, false);
  SpawnEffect("Particles\\fireworks_explosion_01.xml", at);
  rocket->RemoveAll();
}

void RocketComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT || p2 != VPHYSX_CONTACT_NOTIFY || !p1) return;
  ProjectileEntity* rocket = GetProjectile();
  if (!rocket || rocket->IsMarkedRemoved()) return;
  const auto& contact = *reinterpret_cast<const vPhysXContactRecord*>(p1);
  if (!contact.participant[0].pObject || !contact.participant[1].pObject) return;
  VisBaseEntity_cl* first = OwnerOf(contact.participant[0].pObject);
  VisBaseEntity_cl* second = OwnerOf(contact.participant[1].pObject);

  ShipEntity* ship = AsShip(first);
  if (!ship) ship = AsShip(second);
  if (ship) {
    MsgPosOri hit;
    hit.position = contact.vPoint;
    hit.orientation = rocket->GetOrientation();
    hit.direction = rocket->GetDirection();
    // The ship finds the attacker as the rocket's shooter.
    hit.entity = rocket;
    ship->MessageFunction(kMsgRocketHit, reinterpret_cast<INT_PTR>(&hit), 0);
  }
  // Rockets of one salvo brush each other as they leave.
  if (IsProjectile(first) && IsProjectile(second) && m_fStraightTime > 0.0f) return;
  Explode();
}

void RocketComponent::SlerpQuaternion(const float a[4], const float b[4], float t, float out[4]) {
  t = std::clamp(t, 0.0f, 1.0f);
  const float k = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  if (k + 1.0f <= 0.0001f) {
    // Opposite: through the quaternion at right angles to a.
    const float s0 = std::sin((1.0f - t) * kPi * 0.5f);
    const float s1 = std::sin(t * kPi * 0.5f);
    out[0] = a[0] * s0 - b[1] * s1;
    out[1] = b[0] * s1 + a[1] * s0;
    out[2] = a[2] * s0 - s1 * b[3];
    out[3] = s1 * b[2] + a[3] * s0;
  } else if (1.0f - k <= 0.0001f) {
    for (int i = 0; i < 4; ++i) out[i] = a[i] * (1.0f - t) + b[i] * t;
  } else {
    const float theta = std::acos(std::min(k, 1.0f));
    const float s = std::sin(theta);
    const float wa = std::sin((1.0f - t) * theta) / s;
    const float wb = std::sin(t * theta) / s;
    for (int i = 0; i < 4; ++i) out[i] = a[i] * wa + b[i] * wb;
  }
  const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2] + out[3] * out[3]);
  if (length > 0.0f)
    for (int i = 0; i < 4; ++i) out[i] /= length;
}
