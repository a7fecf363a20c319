// The dangling monkey: model, ragdoll, the held bone following the projectile.
#include "components/MonkeyCannonBallComponent.h"

#include "components/RagdollComponent.h"
#include "entities/AreaEffectProjectileEntity.h"
#include "entities/ProjectileEntity.h"
#include "Managers/PauseManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisAnimControl.h"
#include "engine/core/VisCallbacks.h"

namespace {
const unsigned kMonkeyCollisionMask = 8;
const unsigned kMonkeyCollisionGroup = 2;
const int kBoneCount = 6;
}  // namespace

V_IMPLEMENT_DYNCREATE(MonkeyCannonBallComponent, BaseComponent)

MonkeyCannonBallComponent::~MonkeyCannonBallComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int MonkeyCannonBallComponent::AcceptsProjectileOwner(VisTypedEngineObject_cl* object, VString& reason) {
  if (object->IsOfType(ProjectileEntity::GetClassTypeId()) ||
      object->IsOfType(AreaEffectProjectileEntity::GetClassTypeId()))
    return 1;
  reason =
      "Component can only be added to instances of ProjectileEntity or AreaEffectProjectileEntity or derived classes.";
  return 0;
}

int MonkeyCannonBallComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return AcceptsProjectileOwner(object, reason);
}

void MonkeyCannonBallComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    m_pHeldActor = nullptr;
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  auto* projectile = static_cast<VisBaseEntity_cl*>(owner);
  if (!projectile->HasMesh()) {
    projectile->SetMesh("models\\Nature\\Fauna\\Monkey.MODEL");
    projectile->SetEntityKey("MonkeyCannonball");
    VisAnimConfig_cl::StartSkeletalAnimation(projectile, "Monkey_Sit", VANIMCTRL_LOOP, 1.0f + MathTools::RandomFloat());
  }
  RagdollComponent* ragdoll = ComponentSetup::AddNew<RagdollComponent>(projectile);
  if (ragdoll) {
    ragdoll->SetCollisionMask(kMonkeyCollisionMask);
    ragdoll->SetCollisionGroup(kMonkeyCollisionGroup);
  }
  // In the fixed-random mode the draw gives 0, or 5 with the test maximum.
  m_iHeldBone = MathTools::RandomInt(kBoneCount);
  m_pHeldActor = ragdoll ? ragdoll->GetBoneActor(static_cast<RagdollComponent::Bones>(m_iHeldBone)) : nullptr;
  if (m_pHeldActor) {
    m_pHeldActor->raiseBodyFlag(NX_BF_KINEMATIC);
    m_pHeldActor->moveGlobalPosition(projectile->GetPosition());
  }
}

void MonkeyCannonBallComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void MonkeyCannonBallComponent::Update() {
  if (PauseManager::GetInstance()->IsGamePaused()) return;
  VisTypedEngineObject_cl* owner = GetOwner();
  if (!owner) return;
  // Fetched again each frame: the ragdoll may have ended and taken its bodies.
  RagdollComponent* ragdoll = owner->Components<RagdollComponent>();
  m_pHeldActor = ragdoll ? ragdoll->GetBoneActor(static_cast<RagdollComponent::Bones>(m_iHeldBone)) : nullptr;
  if (!m_pHeldActor) return;
  m_pHeldActor->moveGlobalPosition(static_cast<VisObject3D_cl*>(owner)->GetPosition());
}
