// A flying monkey made by the engine's object factory: on its projectile it sets up
// the model and the launch values of a MIRV shell, and does nothing per frame.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

class MonkeyComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(MonkeyComponent)
 public:
  MonkeyComponent() = default;
  ~MonkeyComponent() override;

  // Projectile owners: ProjectileEntity or AreaEffectProjectileEntity.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {}
  void Update() {}
  void Shoot_proto(float) {}

  const VisVector_cl& GetVelocity() const { return m_vVelocity; }
  const VisVector_cl& GetLaunchDirection() const { return m_vLaunchDirection; }
  float GetTimer() const { return m_fTimer; }

 private:
  VisVector_cl m_vVelocity{0, 0, 0, 1};
  VisVector_cl m_vLaunchDirection{0, 0, 0, 1};
  float m_fGravity = 45.0f;
  float m_fDrag = 4.0f;
  float m_fSpeed = 60.0f;
  float m_fSpread = 0.0f;
  float m_fTimer = 3.0f;
};
