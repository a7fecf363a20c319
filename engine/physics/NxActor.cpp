// Physics actors over Bullet rigid bodies.
#include "engine/physics/NxActor.h"

#include "engine/physics/vPhysXObject.h"
#include "engine/physics/bullet/vPhysXScene.h"

#include <algorithm>
#include <cmath>

namespace {
// Damping per second (keep e^-d per second) as Bullet's per-second loss fraction.
btScalar BulletDamping(float perSecond) { return btScalar(1.0f - std::exp(-std::max(0.0f, perSecond))); }
}  // namespace

NxActor::NxActor() : m_pImpl(std::make_unique<NxActorImpl>()) {}
NxActor::~NxActor() = default;

VisVector_cl NxActor::getGlobalPosition() const {
  const NxActorImpl& i = *m_pImpl;
  return vPhysXScene::ToVis(i.ActorFromBody(i.moving ? i.moveTo : i.body->getWorldTransform()).getOrigin());
}

VisMatrix3x3_cl NxActor::getGlobalOrientation() const {
  const NxActorImpl& i = *m_pImpl;
  return vPhysXScene::ToVis((i.moving ? i.moveTo : i.body->getWorldTransform()).getBasis());
}

void NxActor::setGlobalPosition(const VisVector_cl& position) {
  setGlobalPose(position, getGlobalOrientation());
}

void NxActor::setGlobalOrientation(const VisMatrix3x3_cl& rotation) {
  setGlobalPose(getGlobalPosition(), rotation);
}

void NxActor::setGlobalPose(const VisVector_cl& position, const VisMatrix3x3_cl& rotation) {
  NxActorImpl& i = *m_pImpl;
  const btTransform x = i.BodyFromActor(btTransform(vPhysXScene::ToBt(rotation), vPhysXScene::ToBt(position)));
  i.moving = false;
  i.body->setWorldTransform(x);
  i.body->setInterpolationWorldTransform(x);
  if (i.body->isInWorld()) i.scene->World().updateSingleAabb(i.body.get());
  if (isDynamic()) i.body->activate(true);
}

void NxActor::moveGlobalPosition(const VisVector_cl& position) { moveGlobalPose(position, getGlobalOrientation()); }

void NxActor::moveGlobalOrientation(const VisMatrix3x3_cl& rotation) {
  moveGlobalPose(getGlobalPosition(), rotation);
}

void NxActor::moveGlobalPose(const VisVector_cl& position, const VisMatrix3x3_cl& rotation) {
  NxActorImpl& i = *m_pImpl;
  if (isDynamic()) {
    setGlobalPose(position, rotation);
    return;
  }
  if (!i.moving) i.moveFrom = i.body->getWorldTransform();
  i.moveTo = i.BodyFromActor(btTransform(vPhysXScene::ToBt(rotation), vPhysXScene::ToBt(position)));
  i.moving = true;
}

void NxActor::setLinearVelocity(const VisVector_cl& v) {
  if (!isDynamic()) return;
  m_pImpl->body->setLinearVelocity(vPhysXScene::ToBt(v));
  m_pImpl->body->activate(true);
}

VisVector_cl NxActor::getLinearVelocity() const { return vPhysXScene::ToVis(m_pImpl->body->getLinearVelocity()); }

void NxActor::setAngularVelocity(const VisVector_cl& v) {
  if (!isDynamic()) return;
  m_pImpl->body->setAngularVelocity(vPhysXScene::ToBt(v));
  m_pImpl->body->activate(true);
}

VisVector_cl NxActor::getAngularVelocity() const { return vPhysXScene::ToVis(m_pImpl->body->getAngularVelocity()); }

void NxActor::addForce(const VisVector_cl& force, NxForceMode mode, bool wakeup) {
  if (!isDynamic()) return;
  btRigidBody& b = *m_pImpl->body;
  const btVector3 f = vPhysXScene::ToBt(force);
  switch (mode) {
    case NX_FORCE: b.applyCentralForce(f); break;
    case NX_IMPULSE: b.applyCentralImpulse(f); break;
    case NX_VELOCITY_CHANGE: b.applyCentralImpulse(f * m_pImpl->mass); break;
  }
  if (wakeup) b.activate(true);
}

void NxActor::addForceAtPos(const VisVector_cl& force, const VisVector_cl& position, NxForceMode mode, bool wakeup) {
  if (!isDynamic()) return;
  btRigidBody& b = *m_pImpl->body;
  const btVector3 f = vPhysXScene::ToBt(force);
  const btVector3 rel = vPhysXScene::ToBt(position) - b.getCenterOfMassPosition();
  switch (mode) {
    case NX_FORCE: b.applyForce(f, rel); break;
    case NX_IMPULSE: b.applyImpulse(f, rel); break;
    case NX_VELOCITY_CHANGE: b.applyImpulse(f * m_pImpl->mass, rel); break;
  }
  if (wakeup) b.activate(true);
}

void NxActor::setLinearDamping(float damping) {
  m_pImpl->linearDamping = std::max(0.0f, damping);
  m_pImpl->body->setDamping(BulletDamping(m_pImpl->linearDamping), BulletDamping(m_pImpl->angularDamping));
}

float NxActor::getLinearDamping() const { return m_pImpl->linearDamping; }

void NxActor::setAngularDamping(float damping) {
  m_pImpl->angularDamping = std::max(0.0f, damping);
  m_pImpl->body->setDamping(BulletDamping(m_pImpl->linearDamping), BulletDamping(m_pImpl->angularDamping));
}

float NxActor::getAngularDamping() const { return m_pImpl->angularDamping; }

void NxActor::setMass(float mass) {
  if (!(mass > 0.0f) || !std::isfinite(mass)) return;
  m_pImpl->mass = mass;
  m_pImpl->scene->ApplyActorMass(*this);
}

float NxActor::getMass() const { return m_pImpl->mass; }

bool NxActor::updateMassFromShapes(float density, float totalMass) {
  float mass = totalMass;
  if (!(mass > 0.0f)) {
    float volume = 0.0f;
    for (auto& s : m_shapes) volume += vPhysXScene::ShapeVolume(*s);
    mass = density * volume;
  }
  if (!(mass > 0.0f) || !std::isfinite(mass)) return false;
  setMass(mass);
  return true;
}

void NxActor::raiseBodyFlag(NxBodyFlag flag) {
  if (m_pImpl->flags & flag) return;
  m_pImpl->flags |= flag;
  m_pImpl->scene->ApplyActorFlags(*this);
}

void NxActor::clearBodyFlag(NxBodyFlag flag) {
  if (!(m_pImpl->flags & flag)) return;
  m_pImpl->flags &= ~(unsigned)flag;
  if (flag == NX_BF_KINEMATIC) m_pImpl->moving = false;
  m_pImpl->scene->ApplyActorFlags(*this);
}

bool NxActor::readBodyFlag(NxBodyFlag flag) const { return (m_pImpl->flags & flag) != 0; }

void NxActor::setName(const char* name) { m_pImpl->name = name; }
const char* NxActor::getName() const { return m_pImpl->name.AsChar(); }

bool NxActor::isSleeping() const { return m_pImpl->body->getActivationState() == ISLAND_SLEEPING; }

void NxActor::wakeUp() {
  if (isDynamic()) m_pImpl->body->activate(true);
}

void NxActor::putToSleep() {
  if (!isDynamic()) return;
  btRigidBody& b = *m_pImpl->body;
  b.setLinearVelocity(btVector3(0, 0, 0));
  b.setAngularVelocity(btVector3(0, 0, 0));
  b.clearForces();
  b.forceActivationState(ISLAND_SLEEPING);
}

VisVector_cl NxActor::getCMassGlobalPosition() const {
  const NxActorImpl& i = *m_pImpl;
  return vPhysXScene::ToVis((i.moving ? i.moveTo : i.body->getWorldTransform()).getOrigin());
}

void NxActor::setSolverIterationCount(unsigned count) {
  m_pImpl->solverIterations = std::min(count, 255u);
  m_pImpl->scene->UpdateJointIterations(*this);
}

unsigned NxActor::getSolverIterationCount() const { return m_pImpl->solverIterations; }

void NxActor::setMaxAngularVelocity(float maxSpeed) {
  if (!(maxSpeed >= 0.0f) || !std::isfinite(maxSpeed)) return;
  m_pImpl->maxAngularVelocity = maxSpeed;
}

float NxActor::getMaxAngularVelocity() const { return m_pImpl->maxAngularVelocity; }

NxShape* NxActor::createShape(const NxShapeDesc& desc) {
  m_shapes.emplace_back(new NxShape(this, desc));
  m_shapeList.push_back(m_shapes.back().get());
  m_pImpl->scene->RebuildActorShape(*this);
  return m_shapeList.back();
}

void NxActor::setCollisionGroup(int group) {
  if (group < 0 || group > 31) return;
  // The component keeps the setting of its actor.
  if (vPhysXObject* o = m_pImpl->info.object)
    o->SetCollisionGroup(group);
  else
    m_pImpl->scene->SetActorFilter(*this, group, m_pImpl->info.mask);
}

int NxActor::getCollisionGroup() const { return m_pImpl->info.group; }

void NxActor::setCollisionBitmask(unsigned mask) {
  if (vPhysXObject* o = m_pImpl->info.object)
    o->SetCollisionBitmask(mask);
  else
    m_pImpl->scene->SetActorFilter(*this, m_pImpl->info.group, mask);
}

unsigned NxActor::getCollisionBitmask() const { return m_pImpl->info.mask; }

vPhysXObject* NxActor::getPhysicsObject() const { return m_pImpl->info.object; }

// ---- shapes -------------------------------------------------------------------

int NxShape::getGroup() const { return m_pActor->getCollisionGroup(); }
void NxShape::setGroup(int group) { m_pActor->setCollisionGroup(group); }

NxGroupsMask NxShape::getGroupsMask() const {
  NxGroupsMask m;
  m.bits0 = m_pActor->getCollisionBitmask();
  return m;
}

void NxShape::setGroupsMask(const NxGroupsMask& mask) { m_pActor->setCollisionBitmask(mask.bits0); }
