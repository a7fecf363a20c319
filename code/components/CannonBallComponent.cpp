// Cannon-ball flight: drag and gravity per axis along the projectile's direction,
// a little homing toward the target, a swept trace per frame, and what each kind of
// struck thing receives; below the water line the ball splashes.
#include "components/CannonBallComponent.h"
#include "entities/ProjectileOwner.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/BlastRecord.h"
#include "entities/ClothEntity.h"
#include "entities/MsgPosOri.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisParticleGroupManager.h"

#include <algorithm>

namespace {

const char kCannonBallVersion = 2;
const float kMinAimDistance = 30.0f;
const float kMaxAimDistance = 55.0f;
const float kAimSpeedFactor = 0.02f;
const int kDefaultDamage = 10;
const unsigned kTraceSettings = 0x480;
const unsigned kTraceSettingsRestored = 0x80;
// Message to a building a ball strikes.
const int kMsgBuildingHit = 201;
const int kLocationLand = 1;

void SpawnEffect(const char* file, const VisVector_cl& position, const VisVector_cl& orientation) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, orientation);
}

bool InLandBattle() { return GameManager::HasInstance() && GameManager::GetInstance()->GetLocation() == kLocationLand; }

}  // namespace

V_IMPLEMENT_DYNCREATE(CannonBallComponent, IVObjectComponent)

CannonBallComponent::CannonBallComponent() : IVObjectComponent(0, 0) {}

CannonBallComponent::~CannonBallComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int CannonBallComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

void CannonBallComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void CannonBallComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

ProjectileEntity* CannonBallComponent::GetProjectile() const {
  return ProjectileOwner::Of(GetOwner());
}

void CannonBallComponent::ForgetRemovedEntities(ProjectileEntity* projectile) {
  if (projectile->GetShooter() && projectile->GetShooter()->IsMarkedRemoved()) projectile->SetShooter(nullptr);
  if (projectile->GetTarget() && projectile->GetTarget()->IsMarkedRemoved()) projectile->SetTarget(nullptr);
}

void CannonBallComponent::Fire() {
  ProjectileEntity* projectile = GetProjectile();
  if (!projectile) return;
  ForgetRemovedEntities(projectile);
  VisBaseEntity_cl* shooter = projectile->GetShooter();
  VisBaseEntity_cl* target = projectile->GetTarget();
  if (shooter && target) {
    const float d = std::clamp(shooter->GetPosition().GetDistance(target->GetPosition()), kMinAimDistance, kMaxAimDistance);
    m_fSpeed = d * kAimSpeedFactor * m_fSpeed;
  }
  const float s = m_fSpeed - m_fSpeedSpread * MathTools::RandomFloat() * m_fSpeed;
  m_vVelocity = VisVector_cl(s, s, s);
}

void CannonBallComponent::Update() {
  ProjectileEntity* projectile = GetProjectile();
  if (!projectile || projectile->IsMarkedRemoved()) return;
  if (!projectile->GetShooter()) {
    projectile->RemoveAll();
    return;
  }
  ForgetRemovedEntities(projectile);
  if (PauseManager::GetInstance()->IsAnyPaused()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  if (dt == 0.0f) return;

  const VisVector_cl P = projectile->GetPosition();
  const VisVector_cl D = projectile->GetDirection();
  const float g = D.z > 0.0f ? m_fGravity : -m_fGravity;
  float k = 1.0f;
  VisBaseEntity_cl* shooter = projectile->GetShooter();
  if (shooter && shooter->IsOfType(ShipEntity::GetClassTypeId())) {
    const ShipStats* stats = static_cast<ShipEntity*>(shooter)->GetStats();
    if (stats && stats->GetBallFlightFactor() != 0.0f) k = stats->GetBallFlightFactor();
  }

  m_vVelocity.x -= m_fDrag * dt * k;
  m_vVelocity.y -= m_fDrag * dt * k;
  m_vVelocity.z -= (m_fDrag + g) * dt * k;
  if (m_vVelocity.x < 0.0f) m_vVelocity.x = m_vVelocity.y = 0.0f;

  VisVector_cl N(P.x + m_vVelocity.x * D.x * dt, P.y + m_vVelocity.y * D.y * dt, P.z + m_vVelocity.z * D.z * dt);
  if (VisBaseEntity_cl* target = projectile->GetTarget()) {
    const float step = HOMING_SPEED * dt;
    if (N.GetDistanceSqr(target->GetPosition()) > step * step) {
      VisVector_cl toward = target->GetPosition() + VisVector_cl(0.0f, 0.0f, 1.0f) - N;
      if (!toward.IsZero()) {
        toward.SetLength(step);
        N += toward;
      }
    }
  }
  projectile->SetPosition(N);

  VisTraceLineInfo_t hit;
  VisCollisionToolkit_cl& toolkit = Vision::CollisionToolkit;
  toolkit.SetTraceLineSettings(kTraceSettings);
  toolkit.TraceLine(P, P + (N - P) * TRACE_REACH, VIS_TRACE_ALL, VIS_TRACE_ALL, projectile, shooter, &hit);
  toolkit.SetTraceLineSettings(kTraceSettingsRestored);

  if (hit.detected && HandleHit(projectile, hit)) return;
  if (N.z < WATER_LEVEL) {
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_WATER, MathTools::RandomFloat(0.6f, 1.0f),
                                              projectile->GetPosition(), 50.0f, 400.0f, false);
    SpawnEffect("Particles\\cannon_splash_01.xml", VisVector_cl(N.x, N.y, SPLASH_HEIGHT), VisVector_cl(0, 0, 0));
    projectile->RemoveAll();
  }
}

bool CannonBallComponent::HandleHit(ProjectileEntity* projectile, const VisTraceLineInfo_t& hit) {
  if (hit.IsWorldHit() || hit.IsTerrainHit()) {
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_GROUND, MathTools::RandomFloat(0.3f, 1.0f),
                                              hit.touchPoint, 80.0f, 200.0f, false);
    SpawnEffect("Particles\\cannon_hit_ground_01.xml", hit.touchPoint, VisVector_cl(0, 0, 0));
    projectile->RemoveAll();
    return false;
  }
  if (!hit.IsEntityHit() || !hit.colliderEntity) return false;

  MsgPosOri record;
  record.position = hit.touchPoint;
  record.orientation = projectile->GetOrientation();
  record.direction = projectile->GetDirection();
  record.velocity = m_vVelocity;
  record.entity = projectile;
  record.extra = reinterpret_cast<INT_PTR>(&hit);

  VisBaseEntity_cl* shooter = projectile->GetShooter();
  SoldierEntity* shootingSoldier =
      shooter && shooter->IsOfType(SoldierEntity::GetClassTypeId()) ? static_cast<SoldierEntity*>(shooter) : nullptr;
  int damage = kDefaultDamage;
  if (shootingSoldier)
    damage = MathTools::RandomInt(shootingSoldier->GetMinAttackDamage(false), shootingSoldier->GetMaxAttackDamage(false) + 1);
  const bool land = InLandBattle();
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_GROUND, MathTools::RandomFloat(0.6f, 1.0f),
                                            hit.touchPoint, land ? 20.0f : 100.0f, land ? 150.0f : 400.0f, false);

  VisBaseEntity_cl* struck = hit.colliderEntity;
  const INT_PTR recordAddress = reinterpret_cast<INT_PTR>(&record);
  if (struck->IsOfType(ClothEntity::GetClassTypeId())) {
    if (m_bSailsHit) return true;
    if (VisObject3D_cl* ship = struck->GetParent()) ship->MessageFunction(VIS_MSG_USR_SHIP_HIT_SAILS, recordAddress, 0);
    if (struck->GetComponentOfType("DamageTextureComponent")) m_bSailsHit = 1;
    return true;
  }
  if (struck->IsOfType(ShipEntity::GetClassTypeId())) {
    struck->MessageFunction(VIS_MSG_USR_SHIP_HIT_HULL, recordAddress, 0);
    projectile->RemoveAll();
    return false;
  }
  if (struck->IsOfType(SoldierEntity::GetClassTypeId())) {
    SoldierEntity* victim = static_cast<SoldierEntity*>(struck);
    UnitEntity* ours = shootingSoldier ? shootingSoldier->GetParentUnit() : nullptr;
    UnitEntity* theirs = victim->GetParentUnit();
    if (ours && theirs && ours != theirs && ours->GetNation() != theirs->GetNation()) {
      // Soldiers read the parameter of 22 as a blast record, not as the hit record
      // ships get: handing them that one would make them follow a garbage pointer.
      const VisVector_cl& d = record.direction;
      BlastRecord blast;
      blast.impactPoint = hit.touchPoint;
      // The push is the ball's own motion.
      blast.push = VisVector_cl(m_vVelocity.x * d.x, m_vVelocity.y * d.y, m_vVelocity.z * d.z);
      blast.projectile = projectile;
      victim->MessageFunction(VIS_MSG_USER_BLAST, reinterpret_cast<INT_PTR>(&blast), 0);
    }
    projectile->RemoveAll();
    return false;
  }
  if (struck->IsOfType("BuildingBaseEntity")) {
    SpawnEffect("Particles\\cannon_hit_ground_01.xml", hit.touchPoint, VisVector_cl(0, 0, 0));
    struck->MessageFunction(kMsgBuildingHit, damage, 0);
    projectile->RemoveAll();
    return true;
  }
  // A kraken tentacle takes its hit and bleeds once the kraken exists; like any
  // other entity it ends the ball's flight.
  projectile->RemoveAll();
  return false;
}

void CannonBallComponent::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kCannonBallVersion);
    ar << m_vVelocity << m_fGravity << m_fDrag << m_fSpeed << m_fSpeedSpread;
    SaveGameManagerProto::EndBlock(ar);
    IVObjectComponent::Serialize(ar);
    return;
  }
  SavedBlockReader block(ar, "CannonBallComponent", kCannonBallVersion);
  if (!block.IsOpen()) return;
  VisVector_cl velocity;
  float gravity = 0, drag = 0, speed = 0, spread = 0;
  if (block.Has(2)) ar >> velocity >> gravity >> drag >> speed >> spread;
  // The component's base data follows the block and is read only after a whole block.
  if (!block.End()) return;
  if (block.Has(2)) {
    m_vVelocity = velocity;
    m_fGravity = gravity;
    m_fDrag = drag;
    m_fSpeed = speed;
    m_fSpeedSpread = spread;
  }
  IVObjectComponent::Serialize(ar);
}
