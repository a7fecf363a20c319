// The MIRV shell: it flies like a cannon ball for two seconds (or until it meets the
// world, a sail or a ship), then bursts in the air into ten clusters that scatter
// under the physics and explode near ships.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "engine/core/IVObjectComponent.h"

class ProjectileEntity;

class MirvComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(MirvComponent)
 public:
  static constexpr float BURST_TIME = 2.0f;
  static constexpr int CLUSTER_COUNT = 10;
  static constexpr float CLUSTER_RADIUS = 2.7777777f;

  MirvComponent();
  ~MirvComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the frame; an owner without a model becomes the shell and is
  // launched along its current direction.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Per frame (not during the game pause): the flight and its trace, the splash in
  // the sea, or the burst.
  virtual void Update();

  const VisVector_cl& GetVelocity() const { return m_vVelocity; }
  const VisVector_cl& GetLaunchDirection() const { return m_vLaunchDirection; }
  float GetBurstTimer() const { return m_fBurstTimer; }

 private:
  ProjectileEntity* GetProjectile() const;
  void Burst(ProjectileEntity* shell);

  VisVector_cl m_vVelocity{0, 0, 0, 1};
  VisVector_cl m_vLaunchDirection{0, 0, 0, 1};
  float m_fGravity = 45.0f;
  float m_fDrag = 4.0f;
  float m_fSpeed = 60.0f;
  float m_fSpread = 0.0f;
  float m_fBurstTimer = 3.0f;
};
