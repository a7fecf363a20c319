// The mortar shell: the launch under physics, the extra fall, the explosion on
// contact and the splash in the sea.
#include "components/MortarComponent.h"
#include "entities/ProjectileOwner.h"

#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "entities/MsgPosOri.h"
#include "entities/Nation.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundManager.h"

namespace {

const int kMsgMortarHit = 23;
const int kSoundResourceFlags = 256;
const float kShellMass = 100.0f;
// Collision bitmasks of a shell: the player's shells meet the AI ships (and the
// world), the others' shells meet the player's ships.
const unsigned kPlayerShellMask = 12;
const unsigned kOtherShellMask = 10;
const int kContactReport = 2;
const float kSplashHeight = 0.2f;

void SpawnEffect(const char* file, const VisVector_cl& position, const VisVector_cl& orientation) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, orientation);
}

bool FiredByPlayerNation(const ProjectileEntity* shell) {
  const VisBaseEntity_cl* shooter = shell->GetShooter();
  const Nation* player = GameManager::GetInstance()->GetPlayerNation();
  return shooter && player && shooter->IsOfType(BaseEntity::GetClassTypeId()) &&
         static_cast<const BaseEntity*>(shooter)->GetNation() == player->GetNationId();
}

ShipEntity* ShipOf(const vPhysXObject* object) {
  VisBaseEntity_cl* owner = object ? object->GetOwnerEntity() : nullptr;
  return owner && owner->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(owner) : nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(MortarComponent, IVObjectComponent)

MortarComponent::MortarComponent() : IVObjectComponent(0, 0) {
  VSoundManager& sounds = VSoundManager::GlobalManager();
  m_spExplosionSound = sounds.LoadSoundResource("Sounds\\FX\\rocket_grenade_explosion.wav", kSoundResourceFlags);
  m_spHitSound = sounds.LoadSoundResource("Sounds\\FX\\fx_mortar_hit.wav", kSoundResourceFlags);
}

MortarComponent::~MortarComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int MortarComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* MortarComponent::GetProjectile() const {
  return ProjectileOwner::Of(GetOwner());
}

void MortarComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  auto* shell = static_cast<VisBaseEntity_cl*>(owner);
  if (shell->HasMesh()) return;
  shell->SetMesh("models\\props\\cannon_ball\\cannon_ball.MODEL");
  shell->SetScaling(SCALING);
  shell->SetEntityKey("Mortar");
}

void MortarComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void MortarComponent::Shoot_proto(float power) {
  ProjectileEntity* shell = GetProjectile();
  if (!shell) return;
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_MORTAR, 1.0f, shell->GetPosition(), 50.0f, 400.0f, false);
  auto* body = new vPhysXRigidBody();
  body->Initialize();
  body->SetMass(kShellMass);
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  if (!shell->AddComponent(body)) {
    body->DisposeObject();
    return;
  }
  // A shell without a shooter, or without a player nation, counts as another's.
  body->SetCollisionBitmask(FiredByPlayerNation(shell) ? kPlayerShellMask : kOtherShellMask);
  body->SetContactReport(kContactReport);
  body->SetVelocity(shell->GetDirection() * (power * SPEED_PER_POWER));
  SpawnEffect("Particles\\big_muzzle.xml", shell->GetPosition(), shell->GetOrientation());
}

void MortarComponent::Update() {
  ProjectileEntity* shell = GetProjectile();
  if (!shell || shell->IsMarkedRemoved() || PauseManager::GetInstance()->IsGamePaused()) return;
  UpdateVelocityForceDown_proto(FALL_FORCE);
  CheckWhenHitWaterLine_proto(0.0f);
}

void MortarComponent::UpdateVelocityForceDown_proto(float force) {
  ProjectileEntity* shell = GetProjectile();
  vPhysXRigidBody* body = shell ? shell->Components<vPhysXRigidBody>() : nullptr;
  if (NxActor* actor = body ? body->GetActor() : nullptr)
    actor->addForce(VisVector_cl(0.0f, 0.0f, force * Vision::Timer.GetTimeDifference()), NX_VELOCITY_CHANGE, true);
}

void MortarComponent::CheckWhenHitWaterLine_proto(float waterLevel) {
  ProjectileEntity* shell = GetProjectile();
  if (!shell) return;
  const VisVector_cl p = shell->GetPosition();
  if (p.z >= waterLevel) return;
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_WATER, 1.0f, p, 50.0f, 400.0f, false);
  SpawnEffect("Particles\\big_splash.xml", VisVector_cl(p.x, p.y, kSplashHeight), VisVector_cl(0, 0, 0));
  shell->RemoveAll();
}

void MortarComponent::Explode_proto(bool ground) {
  ProjectileEntity* shell = GetProjectile();
  if (!shell) return;
  SpawnEffect(ground ? "Particles\\nuke_ground.xml" : "Particles\\nuke.xml", shell->GetPosition(),
              VisVector_cl(0, 0, 0));
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_EXPLOSION, 1.0f, shell->GetPosition(), 50.0f, 400.0f, false);
  shell->RemoveAll();
}

void MortarComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT || p2 != VPHYSX_CONTACT_NOTIFY || !p1) return;
  ProjectileEntity* shell = GetProjectile();
  if (!shell || shell->IsMarkedRemoved()) return;
  const auto& contact = *reinterpret_cast<const vPhysXContactRecord*>(p1);
  if (contact.InvolvesWorld()) {
    Explode_proto(true);
    return;
  }
  if (!contact.participant[0].pObject || !contact.participant[1].pObject) return;
  ShipEntity* ship = ShipOf(contact.participant[0].pObject);
  if (!ship) ship = ShipOf(contact.participant[1].pObject);
  // Its own shooter is no target: the shell flies on.
  if (!ship || !shell->GetShooter() || ship == shell->GetShooter()) return;
  MsgPosOri hit;
  hit.position = contact.vPoint;
  hit.orientation = shell->GetOrientation();
  hit.direction = shell->GetDirection();
  // The ship finds the attacker as the shell's shooter.
  hit.entity = shell;
  ship->MessageFunction(kMsgMortarHit, reinterpret_cast<INT_PTR>(&hit), 0);
  Explode_proto(false);
}
