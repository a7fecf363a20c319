// The stink bomb: floating up, the wait for a ship, the cloud that lifts and holds
// the ships around it, and the final blast.
#include "entities/FartBombEntity.h"

#include "core/ComponentMessages.h"
#include "entities/MineEntity.h"
#include "entities/MsgPosOri.h"
#include "entities/ShipEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"

namespace {

const int kMsgMineHit = 20;

void SpawnEffect(const char* file, const VisVector_cl& position) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, VisVector_cl(0, 0, 0));
}

NxActor* ActorOf(ShipEntity* ship) {
  vPhysXRigidBody* body = ship->Components<vPhysXRigidBody>();
  return body ? body->GetActor() : nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(FartBombEntity, ProjectileEntity)

FartBombEntity::FartBombEntity() = default;

void FartBombEntity::Init() {
  VisBaseEntity_cl::InitFunction();
  MineEntity::AddFloatingBody(this);
}

void FartBombEntity::Throw(const VisVector_cl&, const VisVector_cl& spin) { MineEntity::SpinBody(this, spin); }

void FartBombEntity::Explode() {
  m_bExploded = true;
  const VisVector_cl position = GetPosition();
  SpawnEffect("Particles\\fartbomb.xml", VisVector_cl(position.x, position.y, 0.0f));
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_FART_BOMB, 1.0f, position, 10.0f, 400.0f, false);
}

void FartBombEntity::ThinkFunction() {
  // After its final blast the bomb is only waiting to be freed.
  if (IsMarkedRemoved() || PauseManager::GetInstance()->IsGamePaused()) return;
  if (vPhysXRigidBody* body = Components<vPhysXRigidBody>()) {
    if (GetPosition().z < FLOAT_DEPTH) {
      body->SetVelocity(VisVector_cl(0.0f, 0.0f, RISE_SPEED));
    } else {
      // Afloat: from now on the bomb stays where it is.
      body->DisposeObject();
      SpawnEffect("Particles\\debris_splash_01.xml", GetPosition());
    }
  }

  const std::vector<ShipEntity*> ships = MineEntity::ShipsInBlast(GetPosition(), m_fRange);
  if (!m_bExploded) {
    for (ShipEntity* ship : ships) ship->MessageFunction(VIS_MSG_USER_SHIP_NOSAILS, 0, 0);
    if (!ships.empty()) Explode();
    return;
  }
  const float dt = Vision::Timer.GetTimeDifference();
  Cloud(ships, dt);
  m_fExplosionTimer += dt;
  if (m_fExplosionTimer > CLOUD_TIME) FinalBlast();
}

// Nothing in the first 0.8 s; then the ships in the cloud rise until 2.1 s and are
// held where they are from then on.
void FartBombEntity::Cloud(const std::vector<ShipEntity*>& ships, float dt) {
  const float t = m_fExplosionTimer;
  if (t <= LIFT_START) return;
  for (ShipEntity* ship : ships) {
    ship->SetStinkFlag(true);
    NxActor* actor = ActorOf(ship);
    if (!actor) continue;
    if (t < HOLD_START) {
      actor->clearBodyFlag(NX_BF_FROZEN_POS_Z);
      actor->setLinearVelocity(VisVector_cl(0.0f, 0.0f, dt * LIFT_FACTOR));
    } else {
      actor->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
      actor->setLinearVelocity(VisVector_cl(0.0f, 0.0f, 0.0f));
    }
    actor->setAngularVelocity(VisVector_cl(0.0f, 0.0f, 0.0f));
  }
}

void FartBombEntity::FinalBlast() {
  for (ShipEntity* ship : MineEntity::ShipsInBlast(GetPosition(), m_fRange)) {
    MsgPosOri hit;
    hit.position = GetPosition();
    hit.orientation = GetOrientation();
    hit.direction = GetDirection();
    hit.entity = this;
    ship->MessageFunction(kMsgMineHit, reinterpret_cast<INT_PTR>(&hit), 0);
  }
  RemoveAll();
}

void FartBombEntity::Serialize(VArchive& ar) {
  ProjectileEntity::Serialize(ar);
  if (!ar.IsSaving() && !ar.IsOK()) return;
  MineEntity::SerializeFuse(ar, "FartBombEntity", m_bExploded, m_fExplosionTimer, m_fRange);
}
