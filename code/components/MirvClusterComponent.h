// One of the ten clusters of a burst MIRV shell: a small ball thrown outwards under
// the physics that explodes when it touches a ship and when its fuse runs out,
// hitting every ship in its blast range; the sea swallows it.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class ProjectileEntity;

class MirvClusterComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(MirvClusterComponent)
 public:
  static constexpr float BLAST_RANGE = 10.0f;
  static constexpr int MSG_MIRV_HIT = 21;

  MirvClusterComponent();
  ~MirvClusterComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the frame; an owner without a model becomes the cluster: its body,
  // thrown along its direction, and its fuse of 1.5 to 2.5 s.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // A touch with a ship begins (10000 with 68): the cluster explodes and flies on.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Per frame (not during the game pause): the fuse burns, the sea swallows the
  // cluster, and a fuse run out explodes it for good.
  virtual void Update();
  // The effect, and message 21 (with the cluster's shooter) to every ship in range.
  void Explode();

  float GetFuse() const { return m_fFuse; }
  float GetBlastRange() const { return m_fBlastRange; }

 private:
  ProjectileEntity* GetProjectile() const;

  float m_fFuse = 0.0f;
  float m_fBlastRange = BLAST_RANGE;
  // Whether a ship touched the cluster in the frame before and in this one: the
  // physics reports a touch in every frame it lasts.
  bool m_bTouchedShipBefore = false;
  bool m_bTouchingShip = false;
};
