// Character controllers over Bullet's kinematic character controller: a capsule ghost
// that sweeps through the world.
#include "engine/physics/vPhysXCharacterController.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/bullet/vPhysXHeightField.h"
#include "engine/physics/bullet/vPhysXScene.h"

#include <BulletDynamics/Character/btKinematicCharacterController.h>

#include <cmath>

V_IMPLEMENT_DYNCREATE(vPhysXCharacterController, vPhysXObject)

namespace {
const char kControllerVersion = 1;

// Bullet's controller with the skin width as its added margin. Its step sees only the
// terrain triangles near it (vPhysXHeightField::TightScope). A controller that stands
// on the ground and did not move in its last step, and is not asked to walk, is
// settled: it skips its sweeps until it walks or is warped (a crowd that stands
// fighting costs no sweeps; one that others walk into does not give way).
class ControllerAction : public btKinematicCharacterController {
 public:
  ControllerAction(btPairCachingGhostObject* ghost, btConvexShape* shape, btScalar step, btScalar skin)
      : btKinematicCharacterController(ghost, shape, step, btVector3(0, 0, 1)) {
    m_addedMargin = skin;
  }
  void updateAction(btCollisionWorld* world, btScalar dt) override {
    const bool still = m_walkDirection.fuzzyZero();
    if (m_bSettled && still && onGround()) return;
    const btVector3 before = m_ghostObject->getWorldTransform().getOrigin();
    {
      vPhysXHeightField::TightScope tight;
      btKinematicCharacterController::updateAction(world, dt);
    }
    const btVector3 moved = m_ghostObject->getWorldTransform().getOrigin() - before;
    m_bSettled = still && onGround() && moved.length2() < kSettledMove * kSettledMove;
  }
  void warp(const btVector3& origin) override {
    m_bSettled = false;
    btKinematicCharacterController::warp(origin);
  }

 private:
  static constexpr btScalar kSettledMove = 1e-5f;
  bool m_bSettled = false;
};

float Positive(float v, float fallback) { return std::isfinite(v) && v > 0.0f ? v : fallback; }
}  // namespace

struct vPhysXControllerImpl {
  vPhysXCollisionInfo info;
  std::unique_ptr<btCapsuleShapeZ> shape;
  std::unique_ptr<btPairCachingGhostObject> ghost;
  std::unique_ptr<ControllerAction> controller;
  float centreAboveFoot = 0.0f;  // capsule centre over the foot point
  // The gravity last handed to Bullet: handing it again re-sets the ghost's rotation
  // through a quaternion, which costs a sweep's worth of work for nothing.
  btVector3 gravity{0, 0, 0};
};

vPhysXCharacterController::vPhysXCharacterController() = default;

vPhysXCharacterController::~vPhysXCharacterController() { ReleaseFromModule(); }

void vPhysXCharacterController::CreatePhysics() {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner || !m_pModule || m_pImpl) return;
  vPhysXScene& scene = m_pModule->GetScene();
  const float radius = Positive(m_fCapsuleRadius, 0.3f);
  const float height = std::isfinite(m_fCapsuleHeight) && m_fCapsuleHeight >= 0.0f ? m_fCapsuleHeight : 0.9f;
  auto impl = std::make_unique<vPhysXControllerImpl>();
  impl->info.kind = vPhysXCollisionInfo::CONTROLLER;
  impl->info.object = this;
  impl->info.serial = m_iSerial;
  impl->info.group = m_iCollisionGroup;
  impl->info.mask = m_iCollisionBitmask;
  impl->centreAboveFoot = radius + height * 0.5f;
  impl->shape = std::make_unique<btCapsuleShapeZ>(radius, height);
  impl->ghost = std::make_unique<btPairCachingGhostObject>();
  impl->ghost->setCollisionShape(impl->shape.get());
  impl->ghost->setCollisionFlags(btCollisionObject::CF_CHARACTER_OBJECT);
  const VisVector_cl centre = owner->GetPosition() + m_vOffset + VisVector_cl(0, 0, impl->centreAboveFoot);
  impl->ghost->setWorldTransform(btTransform(btQuaternion::getIdentity(), vPhysXScene::ToBt(centre)));
  impl->controller = std::make_unique<ControllerAction>(impl->ghost.get(), impl->shape.get(),
                                                        std::max(0.0f, m_fStepHeight), Positive(m_fSkinWidth, 0.02f));
  impl->controller->setMaxSlope(btRadians(std::isfinite(m_fSlopeLimit) ? m_fSlopeLimit : 50.0f));
  impl->gravity = scene.Gravity();
  impl->controller->setGravity(impl->gravity);
  impl->controller->setUseGhostSweepTest(m_bSweepNearbyOnly);
  scene.AddCollisionObject(impl->ghost.get(), &impl->info);
  scene.World().addAction(impl->controller.get());
  m_pImpl = std::move(impl);
}

void vPhysXCharacterController::DestroyPhysics() {
  if (!m_pImpl) return;
  m_vFoot = GetPosition();
  vPhysXScene& scene = m_pModule->GetScene();
  scene.World().removeAction(m_pImpl->controller.get());
  scene.RemoveCollisionObject(m_pImpl->ghost.get());
  m_pImpl.reset();
  m_vMotionDelta = m_vFrameWalk = VisVector_cl(0, 0, 0);
}

void vPhysXCharacterController::Rebuild() {
  if (!m_pModule || !GetOwnerEntity()) return;
  DestroyPhysics();
  CreatePhysics();
}

bool vPhysXCharacterController::IsOnGround() const { return m_pImpl && m_pImpl->controller->onGround(); }

void vPhysXCharacterController::SetPosition(const VisVector_cl& position) {
  const VisVector_cl foot(position.x, position.y, position.z);
  m_vFoot = foot;
  if (m_pImpl)
    m_pImpl->controller->warp(
        vPhysXScene::ToBt(foot + m_vOffset + VisVector_cl(0, 0, m_pImpl->centreAboveFoot)));
  if (VisBaseEntity_cl* owner = GetOwnerEntity()) owner->SetPosition(foot);
}

VisVector_cl vPhysXCharacterController::GetPosition() const {
  if (m_pImpl) {
    const btVector3& c = m_pImpl->ghost->getWorldTransform().getOrigin();
    return vPhysXScene::ToVis(c) - m_vOffset - VisVector_cl(0, 0, m_pImpl->centreAboveFoot);
  }
  if (VisBaseEntity_cl* owner = GetOwnerEntity()) return owner->GetPosition();
  return m_vFoot;
}

void vPhysXCharacterController::SetVelocity(const VisVector_cl& velocity) {
  m_vVelocity = VisVector_cl(velocity.x, velocity.y, 0.0f);
}

VisVector_cl vPhysXCharacterController::GetVelocity() const { return m_vVelocity; }

void vPhysXCharacterController::IncMotionDelta(const VisVector_cl& delta) {
  if (!m_pImpl) {
    vPhysXObject::IncMotionDelta(delta);
    return;
  }
  m_vMotionDelta += delta;
}

void vPhysXCharacterController::SetCollisionBitmask(unsigned mask) {
  vPhysXObject::SetCollisionBitmask(mask);
  if (!m_pImpl) return;
  m_pImpl->info.mask = m_iCollisionBitmask;
  m_pModule->GetScene().RefreshFilter(m_pImpl->ghost.get());
}

void vPhysXCharacterController::SetCollisionGroup(int group) {
  vPhysXObject::SetCollisionGroup(group);
  if (!m_pImpl) return;
  m_pImpl->info.group = m_iCollisionGroup;
  m_pModule->GetScene().RefreshFilter(m_pImpl->ghost.get());
}

void vPhysXCharacterController::BeginFrame(int ticks, float) {
  if (!m_pImpl || ticks == 0) return;
  const btVector3 gravity = m_pModule->GetScene().Gravity();
  if (gravity != m_pImpl->gravity) {
    m_pImpl->gravity = gravity;
    m_pImpl->controller->setGravity(gravity);
  }
  m_vFrameWalk = m_vMotionDelta;
  m_vMotionDelta = VisVector_cl(0, 0, 0);
}

void vPhysXCharacterController::BeforeTick(int, int ticks, float tickTime) {
  if (!m_pImpl) return;
  const VisVector_cl walk = m_vFrameWalk / (float)ticks + m_vVelocity * tickTime;
  m_pImpl->controller->setWalkDirection(vPhysXScene::ToBt(walk));
}

void vPhysXCharacterController::WriteBackPose() {
  if (!m_pImpl) return;
  m_pImpl->controller->setWalkDirection(btVector3(0, 0, 0));
  m_vFrameWalk = VisVector_cl(0, 0, 0);
  VisBaseEntity_cl* owner = GetOwnerEntity();
  const VisVector_cl foot = GetPosition();
  if (owner && owner->GetPosition() != foot) owner->SetPosition(foot);
}

void vPhysXCharacterController::Serialize(VArchive& ar) {
  vPhysXObject::Serialize(ar);
  if (ar.IsSaving()) {
    ar << kControllerVersion << m_fCapsuleHeight << m_fCapsuleRadius << m_fStepHeight << m_fSlopeLimit << m_fSkinWidth
       << m_vOffset << m_bDebugRendering << m_bSweepNearbyOnly;
    return;
  }
  if (!ar.IsOK()) return;
  char version = 0;
  ar >> version;
  if (version < 1 || version > kControllerVersion) {
    Vision::Error.Warning("vPhysXCharacterController: unsupported version %d", (int)version);
    ar.MarkFailed();
    return;
  }
  float h = 0, r = 0, step = 0, slope = 0, skin = 0;
  VisVector_cl offset;
  bool debug = false, nearby = true;
  ar >> h >> r >> step >> slope >> skin >> offset >> debug >> nearby;
  if (!ar.IsOK()) return;
  for (float v : {h, r, step, slope, skin, offset.x, offset.y, offset.z})
    if (!std::isfinite(v)) {
      Vision::Error.Warning("vPhysXCharacterController: stored settings are invalid");
      ar.MarkFailed();
      return;
    }
  m_fCapsuleHeight = h;
  m_fCapsuleRadius = r;
  m_fStepHeight = step;
  m_fSlopeLimit = slope;
  m_fSkinWidth = skin;
  m_vOffset = VisVector_cl(offset.x, offset.y, offset.z);
  m_bDebugRendering = debug;
  m_bSweepNearbyOnly = nearby;
  if (m_pImpl) Rebuild();
}
