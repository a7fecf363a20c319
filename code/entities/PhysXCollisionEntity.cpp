// Physics collision entities.
#include "entities/PhysXCollisionEntity.h"

#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"

V_IMPLEMENT_DYNCREATE(PhysXCollisionEntity, VisBaseEntity_cl)

PhysXCollisionEntity::PhysXCollisionEntity() = default;

PhysXCollisionEntity::~PhysXCollisionEntity() = default;

vPhysXRigidBody* PhysXCollisionEntity::GetRigidBody() const { return Components<vPhysXRigidBody>(); }

void PhysXCollisionEntity::InitFunction() {
  VisBaseEntity_cl::InitFunction();
  SetUp();
}

void PhysXCollisionEntity::SetUp() {
  if (VisObject3D_cl* parent = GetParent()) {
    m_vOffsetFromParent = GetPosition() - parent->GetPosition();
    m_vOffsetFromParent.w = 1.0f;
  }
  // Only the cloth, not the rest of the world, meets these shapes.
  if (vPhysXRigidBody* body = GetRigidBody()) body->SetCollisionGroup(0);
}
