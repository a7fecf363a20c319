// The factory-made flying monkey: its model and launch values.
#include "components/MonkeyComponent.h"

#include "components/MonkeyCannonBallComponent.h"
#include "util/MathTools.h"

#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"

V_IMPLEMENT_DYNCREATE(MonkeyComponent, BaseComponent)

MonkeyComponent::~MonkeyComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int MonkeyComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return MonkeyCannonBallComponent::AcceptsProjectileOwner(object, reason);
}

void MonkeyComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  auto* projectile = static_cast<VisBaseEntity_cl*>(owner);
  if (projectile->HasMesh()) return;
  projectile->SetMesh("models\\Nature\\Fauna\\Monkey.MODEL");
  projectile->SetEntityKey("Monkey");
  m_vLaunchDirection = projectile->GetDirection();
  const float speed = m_fSpeed - m_fSpread * MathTools::RandomFloat() * m_fSpeed;
  m_vVelocity = VisVector_cl(speed, speed, speed);
  m_fTimer = 6.0f + 2.0f * MathTools::RandomFloat();
}
