// Ragdolls of soldiers: bodies and joints from the biped's bones, their poses back
// onto the skeleton.
#include "components/RagdollComponent.h"

#include "core/BaseEntity.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/physics/NxJoint.h"
#include "engine/physics/NxMat33.h"
#include "engine/physics/vPhysXModule.h"

#include <cmath>

V_IMPLEMENT_DYNCREATE(RagdollComponent, vPhysXObject)

VisMatrix3x3_cl MathTools::PhysXMatrixToVisionMatrix(const NxMat33& m) {
  float elements[9];
  m.getRowMajor(elements);
  VisMatrix3x3_cl out;
  out.SetFromArray(elements);
  return out;
}

NxMat33 MathTools::VisionMatrixToPhysXMatrix(const VisMatrix3x3_cl& m) {
  float elements[9];
  m.GetAsArray(elements);
  NxMat33 out;
  out.setRowMajor(elements);
  return out;
}

namespace {
constexpr float kDegToRad = 3.14159265f / 180.0f;

// The part of v across the axis, unit length; false when v runs (nearly) along it.
bool Across(const VisVector_cl& v, const VisVector_cl& axis, VisVector_cl& out) {
  out = v - axis * v.Dot(axis);
  if (out.GetLength() < 0.3f) return false;
  out.Normalize();
  return true;
}

// A unit vector across the axis: the first hint that is not along it.
VisVector_cl AcrossAny(const VisVector_cl& axis, const VisVector_cl& a, const VisVector_cl& b,
                       const VisVector_cl& c) {
  VisVector_cl out;
  if (Across(a, axis, out) || Across(b, axis, out) || Across(c, axis, out)) return out;
  return VisVector_cl(1, 0, 0);
}

VisVector_cl Cross(const VisVector_cl& a, const VisVector_cl& b) {
  return VisVector_cl(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// The angular motions of one joint (degrees).
struct JointLimits {
  NxD6JointMotion swing1;
  float swing1Limit;
  NxD6JointMotion swing2;
  float swing2Limit;
  NxD6JointMotion twist;
  float twistLow, twistHigh;
};
constexpr NxD6JointMotion LOCKED = NX_D6JOINT_MOTION_LOCKED;
constexpr NxD6JointMotion LIMITED = NX_D6JOINT_MOTION_LIMITED;
constexpr NxD6JointMotion FREE = NX_D6JOINT_MOTION_FREE;
const JointLimits kNeck = {LIMITED, 40, LIMITED, 40, LIMITED, -90, 90};
const JointLimits kSpine = {LIMITED, 10, LIMITED, 10, LIMITED, -10, 10};
const JointLimits kShoulder = {FREE, 0, LIMITED, 20, LOCKED, 0, 0};
const JointLimits kElbow = {LIMITED, 40, LOCKED, 0, LOCKED, 0, 0};
const JointLimits kHip = {LIMITED, 90, LIMITED, 10, LOCKED, 0, 0};
const JointLimits kKnee = {LIMITED, 45, LIMITED, 5, LOCKED, 0, 0};
const JointLimits* const kJointLimits[] = {&kNeck, &kSpine, &kShoulder, &kElbow, &kShoulder,
                                           &kElbow, &kHip,  &kKnee,     &kHip,      &kKnee};
}  // namespace

RagdollComponent::RagdollComponent() = default;

RagdollComponent::~RagdollComponent() {
  // The base destructor cannot reach DestroyPhysics of this class.
  ReleaseFromModule();
  if (m_bRegistered) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    Vision::Callbacks.OnPhysicsSimulationFinished.DeregisterCallback(this);
  }
}

int RagdollComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType(BaseEntity::GetClassTypeId())) {
    reason = "Component can only be added to instances of BaseEntity or derived classes.";
    return 0;
  }
  return 1;
}

void RagdollComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  if (!owner) {
    DeInit();
    vPhysXObject::SetOwner(nullptr);
    return;
  }
  // The owner keeps its own physics object: the base would make the ragdoll that.
  VisBaseEntity_cl* entity =
      owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(owner) : nullptr;
  IVisPhysicsObject_cl* previous = entity ? entity->GetPhysicsObject() : nullptr;
  m_pReplaced = previous && previous->IsOfType(vPhysXObject::GetClassTypeId()) ? static_cast<vPhysXObject*>(previous)
                                                                                : nullptr;
  m_iReplacedSerial = m_pReplaced ? m_pReplaced->GetSerial() : 0;
  // Builds through CreatePhysics while a physics module is installed.
  vPhysXObject::SetOwner(owner);
  if (entity) entity->SetPhysicsObject(previous);
  if (!m_bActive) m_pReplaced = nullptr;
}

// ---- build -----------------------------------------------------------------------

void RagdollComponent::CreatePhysics() { Build(); }

void RagdollComponent::ReadBone(Record record, const char* name) {
  auto* owner = static_cast<VisBaseEntity_cl*>(GetOwner());
  BoneRecord& r = m_records[record];
  r.boneIndex = owner->GetAnimConfig()->GetSkeleton()->GetBoneIndexByName(name);
  // A missing bone leaves the owner's own pose.
  r.position = owner->GetPosition();
  VisQuaternion_cl rotation = VisQuaternion_cl::FromMatrix(owner->GetRotationMatrix());
  owner->GetBoneCurrentWorldSpaceTransformation(r.boneIndex, r.position, rotation);
  r.rotation = rotation.ToMatrix();
}

void RagdollComponent::MakeBody(Record record, const NxShapeDesc& shape, float density) {
  BoneRecord& r = m_records[record];
  NxActor* actor = m_pModule->CreateDynamicActor(this, shape, r.position, r.rotation, density);
  actor->userData = this;
  r.actor = actor;
  m_actors.push_back(actor);
}

void RagdollComponent::Build() {
  auto* owner = static_cast<VisBaseEntity_cl*>(GetOwner());
  if (!owner || !m_pModule || m_bActive) return;
  VisAnimConfig_cl* config = owner->GetAnimConfig();
  VisSkeleton_cl* skeleton = config ? config->GetSkeleton() : nullptr;
  if (!skeleton || skeleton->GetBoneIndexByName("Bip01 Head") < 0) return;

  // The upright body the owner may still have stops colliding with the limp one.
  if (m_pReplaced) {
    m_iReplacedMask = m_pReplaced->GetCollisionBitmask();
    m_pReplaced->SetCollisionBitmask(0);
  }

  // A zero or negative scaling would give infinite densities.
  const float sx = std::fabs(owner->GetScaling().x);
  const float s = std::isfinite(sx) && sx > 1e-4f ? sx : 1.0f;
  m_fScale = s;

  static const char* const kNames[REC_COUNT] = {
      "Bip01",           "Bip01 Pelvis",      "Bip01 Spine1",   "Bip01 Head",
      "Bip01 L UpperArm", "Bip01 L Forearm",  "Bip01 L Hand",   "Bip01 R UpperArm",
      "Bip01 R Forearm", "Bip01 R Hand",      "Bip01 L Thigh",  "Bip01 L Calf",
      "Bip01 L Foot",    "Bip01 R Thigh",     "Bip01 R Calf",   "Bip01 R Foot"};
  for (int i = 0; i < REC_COUNT; ++i) ReadBone((Record)i, kNames[i]);

  // The body's own axes: up, the side (right to left, from the arms or else the legs)
  // and forward, for shapes and joints that lie across a limb.
  const VisMatrix3x3_cl& ownerRot = owner->GetRotationMatrix();
  const VisVector_cl up = ownerRot.GetColumn(2), forward = ownerRot.GetColumn(0);
  VisVector_cl lateral = m_records[REC_L_UPPERARM].position - m_records[REC_R_UPPERARM].position;
  if (lateral.GetLength() < 1e-3f) lateral = m_records[REC_L_THIGH].position - m_records[REC_R_THIGH].position;
  if (lateral.GetLength() < 1e-3f) lateral = ownerRot.GetColumn(1);
  lateral.Normalize();
  m_vLateral = lateral;

  auto direction = [&](Record from, Record to) {
    VisVector_cl d = m_records[to].position - m_records[from].position;
    if (d.GetLength() < 1e-4f) return up * -1.0f;
    d.Normalize();
    return d;
  };
  auto distance = [&](Record from, Record to) {
    return m_records[from].position.GetDistance(m_records[to].position);
  };
  // The shape's rotation in its body: the given world axes, in the body's frame.
  auto localFrame = [&](Record record, const VisVector_cl& c0, const VisVector_cl& c1, const VisVector_cl& c2) {
    VisMatrix3x3_cl world;
    world.SetColumn(0, c0);
    world.SetColumn(1, c1);
    world.SetColumn(2, c2);
    return m_records[record].rotation.GetTransposed() * world;
  };
  // A capsule along its local y from the bone towards the target, starting at the bone.
  auto capsule = [&](Record record, Record toward, float length, float radius, float density) {
    const VisVector_cl d = direction(record, toward);
    m_records[record].direction = d;
    const VisVector_cl x = AcrossAny(d, lateral, forward, up);
    NxShapeDesc shape;
    shape.type = NX_SHAPE_CAPSULE_Y;
    shape.radius = radius;
    shape.height = length;
    shape.localRotation = localFrame(record, x, d, Cross(x, d));
    shape.localPosition = m_records[record].rotation.GetTransposed() * (d * (length * 0.5f + radius));
    MakeBody(record, shape, density);
  };
  // A box at the bone, its first half extent along the bone towards the target, its
  // last across the body.
  auto box = [&](Record record, Record toward, const VisVector_cl& halfExtents, float density) {
    const VisVector_cl d = direction(record, toward);
    m_records[record].direction = d;
    const VisVector_cl z = AcrossAny(d, lateral, forward, up);
    NxShapeDesc shape;
    shape.type = NX_SHAPE_BOX;
    shape.dimensions = halfExtents;
    shape.localRotation = localFrame(record, d, Cross(z, d), z);
    MakeBody(record, shape, density);
  };

  const float density = 10.0f / s, calfDensity = 20.0f / s;
  {
    NxShapeDesc head;
    head.type = NX_SHAPE_SPHERE;
    head.radius = 0.15f * s;
    m_records[REC_HEAD].direction = up;
    MakeBody(REC_HEAD, head, density);
  }
  capsule(REC_L_FOREARM, REC_L_HAND, distance(REC_L_FOREARM, REC_L_HAND), 0.075f * s, density);
  capsule(REC_L_UPPERARM, REC_L_FOREARM, distance(REC_L_UPPERARM, REC_L_FOREARM) * 0.5f, 0.1f * s, density);
  capsule(REC_R_FOREARM, REC_R_HAND, distance(REC_R_FOREARM, REC_R_HAND), 0.075f * s, density);
  capsule(REC_R_UPPERARM, REC_R_FOREARM, distance(REC_R_UPPERARM, REC_R_FOREARM) * 0.5f, 0.12f * s, density);
  capsule(REC_L_CALF, REC_L_FOOT, distance(REC_L_CALF, REC_L_FOOT), 0.1f * s, calfDensity);
  capsule(REC_L_THIGH, REC_L_CALF, distance(REC_L_THIGH, REC_L_CALF), 0.15f * s, density);
  capsule(REC_R_CALF, REC_R_FOOT, distance(REC_R_CALF, REC_R_FOOT), 0.1f * s, calfDensity);
  capsule(REC_R_THIGH, REC_R_CALF, distance(REC_R_THIGH, REC_R_CALF), 0.15f * s, density);
  box(REC_CHEST, REC_HEAD, VisVector_cl(0.4f * distance(REC_CHEST, REC_HEAD), 0.15f * s, 0.2f * s), density);
  m_records[REC_CHEST].actor->setMaxAngularVelocity(CHEST_MAX_ANGULAR_VELOCITY);
  box(REC_PELVIS, REC_CHEST, VisVector_cl(0.4f * distance(REC_PELVIS, REC_CHEST), 0.15f * s, 0.2f * s), density);

  // Joints: anchored at the first body's bone, turning about its long axis (the
  // neck about the world's up).
  const Record pairs[10][2] = {{REC_HEAD, REC_CHEST},         {REC_CHEST, REC_PELVIS},
                               {REC_L_UPPERARM, REC_CHEST},   {REC_L_FOREARM, REC_L_UPPERARM},
                               {REC_R_UPPERARM, REC_CHEST},   {REC_R_FOREARM, REC_R_UPPERARM},
                               {REC_L_THIGH, REC_PELVIS},     {REC_L_CALF, REC_L_THIGH},
                               {REC_R_THIGH, REC_PELVIS},     {REC_R_CALF, REC_R_THIGH}};
  for (int j = 0; j < 10; ++j) {
    const Record a = pairs[j][0], b = pairs[j][1];
    NxActor* actorA = m_records[a].actor;
    NxActor* actorB = m_records[b].actor;
    if (!actorA || !actorB) continue;
    m_pModule->SetActorPairFlags(actorA, actorB, NX_IGNORE_PAIR);
    const JointLimits& l = *kJointLimits[j];
    NxD6JointDesc desc;
    desc.actor[0] = actorA;
    desc.actor[1] = actorB;
    desc.xMotion = desc.yMotion = desc.zMotion = NX_D6JOINT_MOTION_LOCKED;
    desc.swing1Motion = l.swing1;
    desc.swing1Limit.value = l.swing1Limit * kDegToRad;
    desc.swing2Motion = l.swing2;
    desc.swing2Limit.value = l.swing2Limit * kDegToRad;
    desc.twistMotion = l.twist;
    desc.twistLimit.low.value = l.twistLow * kDegToRad;
    desc.twistLimit.high.value = l.twistHigh * kDegToRad;
    const VisVector_cl axis = j == 0 ? VisVector_cl(0, 0, 1) : m_records[a].direction;
    desc.setGlobalAnchor(m_records[a].position);
    desc.setGlobalAxis(axis);
    // Swing 1 turns about the body's side axis (a knee bends forward and back).
    desc.setGlobalNormal(AcrossAny(axis, lateral, forward, up));
    m_joints[j] = m_pModule->CreateD6Joint(desc);
  }
  for (NxActor* actor : m_actors) actor->setSolverIterationCount(BODY_SOLVER_ITERATIONS);

  Vision::Callbacks.OnPhysicsSimulationFinished.RegisterCallback(this);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  m_bRegistered = true;
  m_bActive = true;
}

// ---- tear-down -----------------------------------------------------------------------

void RagdollComponent::DestroyPhysics() {
  // Joints before the bodies they hold.
  for (NxD6Joint*& joint : m_joints) {
    if (joint && m_pModule) m_pModule->ReleaseJoint(joint);
    joint = nullptr;
  }
  for (NxActor* actor : m_actors)
    if (m_pModule) m_pModule->ReleaseActor(actor);
  m_actors.clear();
  for (BoneRecord& r : m_records) r = BoneRecord();
  m_bActive = false;
}

void RagdollComponent::DeInit() {
  m_bActive = false;
  if (m_bRegistered) {
    Vision::Callbacks.OnPhysicsSimulationFinished.DeregisterCallback(this);
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    m_bRegistered = false;
  }
  DestroyPhysics();
  m_fLifeTime = DEFAULT_LIFETIME;
  m_bFollowLegs = true;
  m_bounds.SetInvalid();
  RestoreReplacedObject();
}

void RagdollComponent::RestoreReplacedObject() {
  auto* owner = static_cast<VisBaseEntity_cl*>(GetOwner());
  // Only while it is still the owner's (it may have been deleted meanwhile).
  if (m_pReplaced && owner && owner->GetPhysicsObject() == m_pReplaced && m_pReplaced->GetSerial() == m_iReplacedSerial)
    m_pReplaced->SetCollisionBitmask(m_iReplacedMask);
  m_pReplaced = nullptr;
  m_iReplacedSerial = 0;
}

// ---- calls ----------------------------------------------------------------------------

void RagdollComponent::AddForce(const VisVector_cl& position, const VisVector_cl& force, NxForceMode mode) {
  if (!m_bActive || m_actors.empty()) return;
  NxActor* best = nullptr;
  float bestDistance = 1.0e11f;
  for (NxActor* actor : m_actors) {
    const float d = actor->getCMassGlobalPosition().GetDistanceSqr(position);
    if (d < bestDistance) bestDistance = d, best = actor;
  }
  if (!best) best = m_actors[MathTools::RandomInt(0, (int)m_actors.size())];
  best->addForce(VisVector_cl(force.x, force.y, force.z), mode, true);
}

void RagdollComponent::SetVelocity(const VisVector_cl& velocity) {
  vPhysXObject::SetVelocity(velocity);
  for (NxActor* actor : m_actors) actor->setLinearVelocity(VisVector_cl(velocity.x, velocity.y, velocity.z));
}

NxActor* RagdollComponent::GetBoneActor(Bones bone) const {
  switch (bone) {
    case BONE_HEAD: return m_records[REC_HEAD].actor;
    case BONE_LEFT_FOREARM: return m_records[REC_L_FOREARM].actor;
    case BONE_RIGHT_FOREARM: return m_records[REC_R_FOREARM].actor;
    case BONE_CHEST: return m_records[REC_CHEST].actor;
    case BONE_LEFT_CALF: return m_records[REC_L_CALF].actor;
    case BONE_RIGHT_CALF: return m_records[REC_R_CALF].actor;
  }
  return nullptr;
}

void RagdollComponent::SetBoneVelocity(Bones bone, const VisVector_cl& velocity) {
  if (NxActor* actor = GetBoneActor(bone)) actor->setLinearVelocity(VisVector_cl(velocity.x, velocity.y, velocity.z));
}

void RagdollComponent::SetCollisionGroup(int group) {
  vPhysXObject::SetCollisionGroup(group);
  for (NxActor* actor : m_actors) ApplyFilterToActor(actor);
}

void RagdollComponent::SetCollisionBitmask(unsigned mask) {
  vPhysXObject::SetCollisionBitmask(mask);
  for (NxActor* actor : m_actors) ApplyFilterToActor(actor);
}

int RagdollComponent::GetJointCount() const {
  int n = 0;
  for (NxD6Joint* joint : m_joints) n += joint ? 1 : 0;
  return n;
}

// ---- per frame ------------------------------------------------------------------------

void RagdollComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!m_bActive) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update(Vision::Timer.GetTimeDifference());
  // After the physics step the skeleton follows the bodies for this frame's picture.
  else if (data->m_pSender == &Vision::Callbacks.OnPhysicsSimulationFinished)
    CopyPoses();
}

void RagdollComponent::CopyPoses() {
  auto* owner = static_cast<VisBaseEntity_cl*>(GetOwner());
  VisAnimConfig_cl* config = owner ? owner->GetAnimConfig() : nullptr;
  if (!config) return;
  VisAnimFinalSkeletalResult_cl* result = config->GetFinalResult();
  VisSkeleton_cl* skeleton = config->GetSkeleton();

  // The owner stands between the calves first, so that the bones placed below are
  // where the bodies are in this very frame.
  NxActor* leftCalf = m_records[REC_L_CALF].actor;
  NxActor* rightCalf = m_records[REC_R_CALF].actor;
  if (m_bFollowLegs && leftCalf && rightCalf)
    owner->SetPosition((leftCalf->getGlobalPosition() + rightCalf->getGlobalPosition()) * 0.5f);

  m_bounds.SetInvalid();
  const VisMatrix3x3_cl inverse = owner->GetRotationMatrix().GetTransposed();
  const VisVector_cl origin = owner->GetPosition();
  const VisVector_cl& scaling = owner->GetScaling();
  auto unscale = [](float v, float s) { return std::fabs(s) > 1e-6f ? v / s : v; };
  static const Record kOrder[] = {REC_ROOT,       REC_PELVIS,    REC_CHEST,   REC_HEAD,
                                  REC_L_UPPERARM, REC_L_FOREARM, REC_R_UPPERARM, REC_R_FOREARM,
                                  REC_L_THIGH,    REC_L_CALF,    REC_R_THIGH, REC_R_CALF};
  for (Record record : kOrder) {
    const BoneRecord& r = m_records[record];
    if (!r.actor || r.boneIndex < 0 || !skeleton || r.boneIndex >= skeleton->GetBoneCount()) continue;
    // The body's frame is the bone's world frame of the build, so its pose in the
    // owner's space is the bone's model-space pose (rest rotation included).
    VisVector_cl local = inverse * (r.actor->getGlobalPosition() - origin);
    local = VisVector_cl(unscale(local.x, scaling.x), unscale(local.y, scaling.y), unscale(local.z, scaling.z));
    result->SetCustomBoneRotation(r.boneIndex, VisQuaternion_cl::FromMatrix(inverse * r.actor->getGlobalOrientation()));
    result->SetCustomBoneTranslation(r.boneIndex, local);
    m_bounds.ExpandToInclude(local);
  }
  owner->SetCustomVisibilityBox(m_bounds);
}

void RagdollComponent::Update(float dt) {
  CopyPoses();
  auto* owner = static_cast<BaseEntity*>(GetOwner());
  bool asleep = !m_actors.empty();
  for (NxActor* actor : m_actors) asleep = asleep && actor->isSleeping();
  if (asleep) owner->RemoveComponentDeferred(this);
  // A lifetime of 0 or less sets no time limit (a flying pirate must not fall limp
  // mid-air); only a running one that runs out ends the ragdoll.
  if (m_fLifeTime > 0.0f) {
    m_fLifeTime -= dt;
    if (m_fLifeTime <= 0.0f) {
      m_fLifeTime = 0.0f;
      owner->RemoveComponentDeferred(this);
    }
  }
}
