// Wreckage: flight, splash and sinking.
#include "entities/DebrisEntity.h"

#include "Managers/PauseManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXRigidBody.h"

V_IMPLEMENT_DYNCREATE(DebrisEntity, VisBaseEntity_cl)

namespace {

vPhysXRigidBody* BodyOf(VisTypedEngineObject_cl* entity) {
  return static_cast<vPhysXRigidBody*>(entity->GetComponentOfType(vPhysXRigidBody::GetClassTypeId()));
}

}  // namespace

void DebrisEntity::Throw(const VisVector_cl&, const VisVector_cl& velocity) {
  if (vPhysXRigidBody* body = BodyOf(this)) body->SetVelocity(velocity);
}

void DebrisEntity::ThinkFunction() {
  if (PauseManager::HasInstance() && PauseManager::GetInstance()->IsGamePaused()) return;
  const float z = GetPosition().z;
  if (z > 0.0f) return;

  // The body goes once, so the splash comes once.
  if (vPhysXRigidBody* body = BodyOf(this)) {
    body->DisposeObject();
    if (VisParticleEffectFile_cl* splash = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(SPLASH_EFFECT))
      splash->CreateParticleEffectInstance(GetPosition(), VisVector_cl(0, 0, 0))->SetRemoveWhenFinished(true);
  }

  // The deeper it is, the faster it goes down.
  const float dt = Vision::Timer.GetTimeDifference();
  m_fSinkSpeed += z * dt * -0.1f;
  IncPosition(VisVector_cl(0.0f, 0.0f, -dt * m_fSinkSpeed));
  if (GetPosition().z < -m_fRemovalDepth && !IsMarkedRemoved()) Remove();
}
