// Joint descriptions and the joints the physics module made.
#include "engine/physics/NxJoint.h"

#include "engine/physics/bullet/vPhysXScene.h"

#include <algorithm>
#include <cmath>

namespace {
bool Usable(const VisVector_cl& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && v.GetLength() > 1e-6f;
}

// World direction into the actor's space (world space without an actor).
VisVector_cl IntoActor(const NxActor* actor, const VisVector_cl& v) {
  return actor ? actor->getGlobalOrientation().GetTransposed() * v : v;
}
}  // namespace

void NxD6JointDesc::setGlobalAnchor(const VisVector_cl& anchor) {
  for (int i = 0; i < 2; ++i)
    localAnchor[i] = actor[i] ? IntoActor(actor[i], anchor - actor[i]->getGlobalPosition()) : anchor;
}

void NxD6JointDesc::setGlobalAxis(const VisVector_cl& axis) {
  VisVector_cl a = axis;
  if (!Usable(a)) return;
  a.Normalize();
  // The world's up axis, or its x axis when the joint axis stands nearly upright.
  VisVector_cl n = std::fabs(a.z) < 0.9f ? VisVector_cl(0, 0, 1) : VisVector_cl(1, 0, 0);
  n = n - a * n.Dot(a);
  n.Normalize();
  for (int i = 0; i < 2; ++i) {
    localAxis[i] = IntoActor(actor[i], a);
    localNormal[i] = IntoActor(actor[i], n);
  }
}

void NxD6JointDesc::setGlobalNormal(const VisVector_cl& normal) {
  // The axis in the world, from the first actor's frame.
  VisVector_cl a = actor[0] ? actor[0]->getGlobalOrientation() * localAxis[0] : localAxis[0];
  if (!Usable(a) || !Usable(normal)) return;
  a.Normalize();
  VisVector_cl n = normal - a * normal.Dot(a);
  if (n.GetLength() < 1e-3f) return;
  n.Normalize();
  for (int i = 0; i < 2; ++i) localNormal[i] = IntoActor(actor[i], n);
}

bool NxD6JointDesc::isValid() const {
  if (!actor[0] || !actor[1] || actor[0] == actor[1]) return false;
  for (int i = 0; i < 2; ++i) {
    if (!Usable(localAxis[i]) || !Usable(localNormal[i])) return false;
    VisVector_cl ax = localAxis[i], n = localNormal[i];
    ax.Normalize();
    n.Normalize();
    if (std::fabs(ax.Dot(n)) > 0.999f) return false;  // no frame from parallel axes
  }
  return true;
}

NxD6Joint::NxD6Joint() = default;
NxD6Joint::~NxD6Joint() { delete m_pImpl; }

float NxD6Joint::getAngle(int which) const {
  btGeneric6DofSpring2Constraint& c = *m_pImpl->constraint;
  c.calculateTransforms();
  // Bullet's angular axes are x twist, y swing 2, z swing 1.
  static const int kBulletAxis[3] = {0, 2, 1};
  return (float)c.getAngle(kBulletAxis[std::clamp(which, 0, 2)]);
}

float NxD6Joint::getAnchorSeparation() const {
  btGeneric6DofSpring2Constraint& c = *m_pImpl->constraint;
  c.calculateTransforms();
  return (float)(c.getCalculatedTransformA().getOrigin() - c.getCalculatedTransformB().getOrigin()).length();
}
