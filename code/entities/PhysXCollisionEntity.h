// A physics box placed to shape cloth: a ship's configuration carries them to give
// the ship's actor its collision shapes. Its body is a vPhysXRigidBody; the cloth
// links and following a moving parent come with the cloth simulation.
#pragma once

#include "engine/core/VisBaseEntity.h"

class vPhysXRigidBody;

class PhysXCollisionEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(PhysXCollisionEntity)
 public:
  PhysXCollisionEntity();
  ~PhysXCollisionEntity() override;

  // The set-up: the offset from the parent and the body's shapes in group 0.
  void InitFunction() override;
  void OnDeserializationCallback(void* context) override { SetUp(); }

  vPhysXRigidBody* GetRigidBody() const;
  const VisVector_cl& GetOffsetFromParent() const { return m_vOffsetFromParent; }

 private:
  void SetUp();

  VisVector_cl m_vOffsetFromParent{0, 0, 0, 1.0f};
};
