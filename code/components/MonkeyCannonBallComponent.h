// The monkey of a monkey cannon ball: a ragdoll monkey hung by one bone from the
// flying projectile, so it dangles along the arc.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class NxActor;

class MonkeyCannonBallComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(MonkeyCannonBallComponent)
 public:
  MonkeyCannonBallComponent() = default;
  ~MonkeyCannonBallComponent() override;

  // Projectile owners: ProjectileEntity or AreaEffectProjectileEntity.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner: the monkey model, its ragdoll and the bone that hangs on.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Moves the held bone to the projectile (not while the game is paused).
  void Update();

  // The bone that hangs on (0 to 5) and its body (null without ragdoll bodies).
  int GetHeldBone() const { return m_iHeldBone; }
  NxActor* GetHeldActor() const { return m_pHeldActor; }

  // The shared refusal of the projectile components.
  static int AcceptsProjectileOwner(VisTypedEngineObject_cl* object, VString& reason);

 private:
  NxActor* m_pHeldActor = nullptr;
  int m_iHeldBone = -1;
};
