// Rigid-body components: settings, the actor they make, and the owner that follows it.
#include "engine/physics/vPhysXRigidBody.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/bullet/vPhysXScene.h"

#include <cmath>

V_IMPLEMENT_DYNCREATE(vPhysXRigidBody, vPhysXObject)

namespace {
const char kRigidBodyVersion = 1;

bool IsPositive(const VisVector_cl& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && v.x > 0 && v.y > 0 && v.z > 0;
}

bool IsShapeType(int t) {
  return t == VPHYSX_SHAPETYPE_BOX || t == VPHYSX_SHAPETYPE_CONVEX || t == VPHYSX_SHAPETYPE_COOKED;
}

// The owner's model box, scaled (invalid without a model box).
VisBoundingBox_cl ScaledModelBox(const VisBaseEntity_cl* e) {
  VisBoundingBox_cl box;
  if (!e) return box;
  e->GetBoundingBox(box);
  return box.GetScaled(e->GetScaling());
}
}  // namespace

vPhysXRigidBody::vPhysXRigidBody() = default;

vPhysXRigidBody::~vPhysXRigidBody() { ReleaseFromModule(); }

void vPhysXRigidBody::Initialize() {
  m_fMass = 1.0f;
  m_iShapeType = VPHYSX_SHAPETYPE_BOX;
  m_iContactReport = 2;
  m_vBoxSize = VisVector_cl(50.0f, 10.0f, 11.0f);
  m_vLocalOffset = VisVector_cl(0.0f, 0.0f, 1.0f);
  if (m_pActor) RebuildActor();
}

// ---- settings -------------------------------------------------------------------

void vPhysXRigidBody::SetMass(float mass) {
  if (!(mass > 0.0f) || !std::isfinite(mass)) {
    Vision::Error.Warning("vPhysXRigidBody: mass %f is not positive", mass);
    return;
  }
  m_fMass = mass;
  if (m_pActor) m_pActor->setMass(mass);
}

void vPhysXRigidBody::SetShapeType(int type) {
  if (!IsShapeType(type)) {
    Vision::Error.Warning("vPhysXRigidBody: shape type %d is not supported", type);
    return;
  }
  if (type == m_iShapeType) return;
  m_iShapeType = type;
  if (m_pActor) RebuildActor();
}

void vPhysXRigidBody::SetBoxSize(const VisVector_cl& size) {
  if (!IsPositive(size)) {
    Vision::Error.Warning("vPhysXRigidBody: box size %f/%f/%f is not positive", size.x, size.y, size.z);
    return;
  }
  m_vBoxSize = VisVector_cl(size.x, size.y, size.z);
  if (m_pActor) RebuildActor();
}

void vPhysXRigidBody::SetLocalOffset(const VisVector_cl& offset) {
  m_vLocalOffset = VisVector_cl(offset.x, offset.y, offset.z);
  if (m_pActor) RebuildActor();
}

void vPhysXRigidBody::SetPhysicsMode(int mode) {
  const int old = m_iPhysicsMode;
  vPhysXObject::SetPhysicsMode(mode);
  if (!m_pActor || old == m_iPhysicsMode) return;
  if (m_iPhysicsMode == VPHYSX_MODE_KINEMATIC)
    m_pActor->raiseBodyFlag(NX_BF_KINEMATIC);
  else
    m_pActor->clearBodyFlag(NX_BF_KINEMATIC);
}

void vPhysXRigidBody::SetCollisionBitmask(unsigned mask) {
  vPhysXObject::SetCollisionBitmask(mask);
  if (m_pActor) m_pModule->GetScene().SetActorFilter(*m_pActor, m_iCollisionGroup, m_iCollisionBitmask);
}

void vPhysXRigidBody::SetCollisionGroup(int group) {
  vPhysXObject::SetCollisionGroup(group);
  if (m_pActor) m_pModule->GetScene().SetActorFilter(*m_pActor, m_iCollisionGroup, m_iCollisionBitmask);
}

// ---- the actor ------------------------------------------------------------------

VisVector_cl vPhysXRigidBody::ActorOffset() const {
  if (m_iShapeType == VPHYSX_SHAPETYPE_BOX) return m_vLocalOffset;
  const VisBoundingBox_cl box = ScaledModelBox(GetOwnerEntity());
  return box.IsValid() ? box.GetCenter() : VisVector_cl(0, 0, 0);
}

void vPhysXRigidBody::CreatePhysics() {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner || !m_pModule || m_pActor) return;
  if (m_bHasPendingPose) {
    owner->SetPosition(m_vPendingPosition);
    owner->SetRotationMatrix(m_mPendingRotation);
    m_bHasPendingPose = false;
  }
  NxShapeDesc shape;
  shape.name = "ShapeBox";
  if (m_iShapeType == VPHYSX_SHAPETYPE_BOX) {
    shape.type = NX_SHAPE_BOX;
    shape.dimensions = m_vBoxSize * 0.5f;
  } else {
    // Our models carry a box only, and the hull of a box is that box.
    shape.type = NX_SHAPE_BOX;
    VisBoundingBox_cl box = ScaledModelBox(owner);
    if (!box.IsValid()) box = VisBoundingBox_cl(VisVector_cl(-0.5f, -0.5f, -0.5f), VisVector_cl(0.5f, 0.5f, 0.5f));
    shape.dimensions = box.GetExtent() * 0.5f;
  }
  const VisMatrix3x3_cl& r = owner->GetRotationMatrix();
  const btTransform pose(vPhysXScene::ToBt(r), vPhysXScene::ToBt(owner->GetPosition() + r * ActorOffset()));
  m_pActor = m_pModule->GetScene().CreateActor(this, shape, pose, m_fMass,
                                                m_iPhysicsMode == VPHYSX_MODE_KINEMATIC);
  if (!m_vVelocity.IsZero()) m_pActor->setLinearVelocity(m_vVelocity);
  if (!m_vAngularVelocity.IsZero()) m_pActor->setAngularVelocity(m_vAngularVelocity);
}

void vPhysXRigidBody::DestroyPhysics() {
  if (!m_pActor) return;
  m_vVelocity = m_pActor->getLinearVelocity();
  m_vAngularVelocity = m_pActor->getAngularVelocity();
  m_pModule->GetScene().DestroyActor(m_pActor);
  m_pActor = nullptr;
  m_vMotionDelta = VisVector_cl(0, 0, 0);
}

void vPhysXRigidBody::RebuildActor() {
  if (!m_pModule || !GetOwnerEntity()) return;
  DestroyPhysics();
  CreatePhysics();
}

// ---- pose -------------------------------------------------------------------------

void vPhysXRigidBody::WritePoseToOwner(const VisVector_cl& position, const VisMatrix3x3_cl& rotation) {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner) return;
  if (owner->GetPosition() != position) owner->SetPosition(position);
  const VisMatrix3x3_cl& old = owner->GetRotationMatrix();
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (old(r, c) != rotation(r, c)) {
        owner->SetRotationMatrix(rotation);
        return;
      }
}

void vPhysXRigidBody::SetPose(const VisVector_cl& position, const VisMatrix3x3_cl& rotation) {
  const VisVector_cl p(position.x, position.y, position.z);
  if (m_pActor) {
    m_pActor->setGlobalPose(p + rotation * ActorOffset(), rotation);
    WritePoseToOwner(p, rotation);
  } else if (VisBaseEntity_cl* owner = GetOwnerEntity()) {
    owner->SetPosition(p);
    owner->SetRotationMatrix(rotation);
  } else {
    m_bHasPendingPose = true;
    m_vPendingPosition = p;
    m_mPendingRotation = rotation;
  }
}

void vPhysXRigidBody::SetPosition(const VisVector_cl& position) { SetPose(position, GetRotationMatrix()); }

VisVector_cl vPhysXRigidBody::GetPosition() const {
  if (m_pActor) return m_pActor->getGlobalPosition() - m_pActor->getGlobalOrientation() * ActorOffset();
  if (GetOwnerEntity()) return GetOwnerEntity()->GetPosition();
  return m_vPendingPosition;
}

void vPhysXRigidBody::SetRotationMatrix(const VisMatrix3x3_cl& rotation) { SetPose(GetPosition(), rotation); }

VisMatrix3x3_cl vPhysXRigidBody::GetRotationMatrix() const {
  if (m_pActor) return m_pActor->getGlobalOrientation();
  if (GetOwnerEntity()) return GetOwnerEntity()->GetRotationMatrix();
  return m_mPendingRotation;
}

void vPhysXRigidBody::IncMotionDelta(const VisVector_cl& delta) {
  if (!m_pActor) {
    vPhysXObject::IncMotionDelta(delta);
    return;
  }
  m_vMotionDelta += delta;
}

void vPhysXRigidBody::SetVelocity(const VisVector_cl& velocity) {
  m_vVelocity = velocity;
  if (m_pActor) m_pActor->setLinearVelocity(velocity);
}

VisVector_cl vPhysXRigidBody::GetVelocity() const { return m_pActor ? m_pActor->getLinearVelocity() : m_vVelocity; }

void vPhysXRigidBody::SetAngularVelocity(const VisVector_cl& velocity) {
  m_vAngularVelocity = velocity;
  if (m_pActor) m_pActor->setAngularVelocity(velocity);
}

VisVector_cl vPhysXRigidBody::GetAngularVelocity() const {
  return m_pActor ? m_pActor->getAngularVelocity() : m_vAngularVelocity;
}

// ---- frame --------------------------------------------------------------------------

void vPhysXRigidBody::BeginFrame(int ticks, float) {
  if (ticks == 0 || !m_pActor || m_vMotionDelta.IsZero()) return;
  const VisVector_cl delta = m_vMotionDelta;
  m_vMotionDelta = VisVector_cl(0, 0, 0);
  if (m_pActor->isDynamic()) {
    // Shifted, velocity kept.
    m_pActor->setGlobalPosition(m_pActor->getGlobalPosition() + delta);
  } else {
    // From where it is (or is already going) on to there, over this frame's ticks.
    m_pActor->moveGlobalPosition(m_pActor->getGlobalPosition() + delta);
  }
}

void vPhysXRigidBody::WriteBackPose() {
  if (!m_pActor) return;
  const VisMatrix3x3_cl r = m_pActor->getGlobalOrientation();
  WritePoseToOwner(m_pActor->getGlobalPosition() - r * ActorOffset(), r);
}

// ---- saved form ---------------------------------------------------------------------

void vPhysXRigidBody::Serialize(VArchive& ar) {
  vPhysXObject::Serialize(ar);
  if (ar.IsSaving()) {
    ar << kRigidBodyVersion << m_fMass << m_iShapeType << m_iContactReport << m_vBoxSize << m_vLocalOffset;
    return;
  }
  if (!ar.IsOK()) return;
  char version = 0;
  float mass = 0;
  int shape = 0, report = 0;
  VisVector_cl size, offset;
  ar >> version;
  if (version < 1 || version > kRigidBodyVersion) {
    Vision::Error.Warning("vPhysXRigidBody: unsupported version %d", (int)version);
    ar.MarkFailed();
    return;
  }
  ar >> mass >> shape >> report >> size >> offset;
  if (!ar.IsOK()) return;
  const bool finiteOffset = std::isfinite(offset.x) && std::isfinite(offset.y) && std::isfinite(offset.z);
  if (!(mass > 0.0f) || !std::isfinite(mass) || !IsShapeType(shape) || !IsPositive(size) || !finiteOffset) {
    Vision::Error.Warning("vPhysXRigidBody: stored settings are invalid");
    ar.MarkFailed();
    return;
  }
  m_fMass = mass;
  m_iShapeType = shape;
  m_iContactReport = report;
  m_vBoxSize = VisVector_cl(size.x, size.y, size.z);
  m_vLocalOffset = VisVector_cl(offset.x, offset.y, offset.z);
  if (m_pActor) RebuildActor();
}
