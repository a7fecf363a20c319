// Base of the thrown, floating or lying projectiles of the sea battle: who fired
// it and at what, one particle trail that travels with it, its removal (trail
// included), and a physics-driven projectile kept glued to the parent it sits on.
#pragma once

#include "core/BaseEntity.h"

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

class VisParticleEffect_cl;

class ProjectileEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(ProjectileEntity)
 public:
  ProjectileEntity();
  ~ProjectileEntity() override;

  // The shooter and the target are not owned; message 17 naming one clears it, and
  // so does the game entity's destruction (the projectile never keeps a dangling one).
  virtual void SetShooter(VisBaseEntity_cl* shooter);
  virtual VisBaseEntity_cl* GetShooter() const { return m_pShooter; }
  virtual void SetTarget(VisBaseEntity_cl* target);
  virtual VisBaseEntity_cl* GetTarget() const { return m_pTarget; }
  // Loads the effect file and lets an instance of it follow the projectile at the
  // local offset, removed by the engine once finished. An empty name or a file that
  // does not load keeps the current trail.
  virtual void SetTrail(const VString& file, const VisVector_cl& offset);
  virtual void SetTrail(const VString& file);
  virtual VisParticleEffect_cl* GetTrail() const;
  // Lets the trail fade out on its own and removes the projectile (once).
  virtual void RemoveAll();

  // Base block, then "ARCH", version 2, the parent offset, "EOA". Shooter, target
  // and trail are not saved.
  void Serialize(VArchive& ar) override;
  // 17 (a ship died, p1 the ship) clears the shooter and the target it names and
  // goes no further; everything else goes to the components.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // With a physics object and a parent, the physics object is placed at the parent's
  // pose plus the parent offset (in the parent's axes) and, when the parent turned,
  // given the parent's rotation times the local one; nothing else moves it, so each
  // notification places it exactly once. A position that would not change is not
  // set. Without a physics object nothing happens.
  void ModSysNotifyFunctionParentAltered(int flags) override;
  void ThinkFunction() override {}
  // The entity-destroyed event of the game's bus, then the base entity's callbacks.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // In the parent's axes.
  const VisVector_cl& GetParentOffset() const { return m_vParentOffset; }
  void SetParentOffset(const VisVector_cl& offset) { m_vParentOffset = offset; }

 protected:
  // Listens to the destruction of entities while it refers to any.
  void WatchReferences();

  VisVector_cl m_vParentOffset{0, 0, 0};
  VisBaseEntity_cl* m_pShooter = nullptr;
  VisBaseEntity_cl* m_pTarget = nullptr;
  VSmartPtr<VisParticleEffect_cl> m_spTrail;
};
