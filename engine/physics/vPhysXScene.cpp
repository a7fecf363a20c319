// The Bullet world behind the physics module: bodies, world collision, ticks,
// contacts and ray casts.
#include "engine/physics/bullet/vPhysXScene.h"

#include "engine/physics/bullet/vPhysXHeightField.h"

#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisWorld.h"
#include "engine/physics/VisPhysicsRaycastBase.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXObject.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace {
// A manifold point this close (or deeper) counts as touching.
constexpr btScalar kTouchDistance = 0.005f;
}  // namespace

// Broadphase filter: bitmasks sharing a bit and groups allowed to collide. Pairs of
// two static or kinematic objects never form.
class vPhysXScene::FilterCallback : public btOverlapFilterCallback {
 public:
  explicit FilterCallback(vPhysXModule& module) : m_module(module) {}
  bool needBroadphaseCollision(btBroadphaseProxy* p0, btBroadphaseProxy* p1) const override {
    auto* o0 = static_cast<btCollisionObject*>(p0->m_clientObject);
    auto* o1 = static_cast<btCollisionObject*>(p1->m_clientObject);
    if (!o0 || !o1) return false;
    if (o0->isStaticOrKinematicObject() && o1->isStaticOrKinematicObject()) return false;
    auto* i0 = static_cast<const vPhysXCollisionInfo*>(o0->getUserPointer());
    auto* i1 = static_cast<const vPhysXCollisionInfo*>(o1->getUserPointer());
    if (!i0 || !i1) return true;
    if ((i0->mask & i1->mask) == 0) return false;
    if (!m_module.GetGroupCollisionFlag(i0->group, i1->group)) return false;
    return !(i0->actor && i1->actor && m_scene && m_scene->IgnoresPair(i0->actor, i1->actor));
  }
  const vPhysXScene* m_scene = nullptr;

 private:
  vPhysXModule& m_module;
};

namespace {
bool IsDynamicBody(const btCollisionObject* o) { return btRigidBody::upcast(o) && !o->isStaticOrKinematicObject(); }

// The world's own contact pass skips pairs without a dynamic body (character
// controllers with each other, with static geometry, terrain or kinematic actors):
// no solver step or contact report reads them. The controllers work out their own
// contacts through the same dispatcher outside that pass.
class SceneDispatcher : public btCollisionDispatcher {
 public:
  using btCollisionDispatcher::btCollisionDispatcher;
  bool needsCollision(const btCollisionObject* a, const btCollisionObject* b) override {
    if (m_bWorldPass && !IsDynamicBody(a) && !IsDynamicBody(b)) return false;
    return btCollisionDispatcher::needsCollision(a, b);
  }
  bool m_bWorldPass = false;
};

class SceneWorld : public btDiscreteDynamicsWorld {
 public:
  SceneWorld(SceneDispatcher* dispatcher, btBroadphaseInterface* broadphase, btConstraintSolver* solver,
             btCollisionConfiguration* config)
      : btDiscreteDynamicsWorld(dispatcher, broadphase, solver, config), m_pSceneDispatcher(dispatcher) {}
  void performDiscreteCollisionDetection() override {
    m_pSceneDispatcher->m_bWorldPass = true;
    btDiscreteDynamicsWorld::performDiscreteCollisionDetection();
    m_pSceneDispatcher->m_bWorldPass = false;
  }

 private:
  SceneDispatcher* m_pSceneDispatcher;
};
}  // namespace

btMatrix3x3 vPhysXScene::ToBt(const VisMatrix3x3_cl& m) {
  return btMatrix3x3(m(0, 0), m(0, 1), m(0, 2), m(1, 0), m(1, 1), m(1, 2), m(2, 0), m(2, 1), m(2, 2));
}

VisMatrix3x3_cl vPhysXScene::ToVis(const btMatrix3x3& m) {
  VisMatrix3x3_cl out;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out(r, c) = (float)m[r][c];
  return out;
}

vPhysXScene::vPhysXScene(vPhysXModule& module) : m_module(module) {
  m_config = std::make_unique<btDefaultCollisionConfiguration>();
  m_ghostCallback = std::make_unique<btGhostPairCallback>();
  m_filter = std::make_unique<FilterCallback>(module);
  m_filter->m_scene = this;
  MakeWorld();
}

void vPhysXScene::MakeWorld() {
  m_world.reset();
  m_solver.reset();
  m_broadphase.reset();
  m_dispatcher.reset();
  auto dispatcher = std::make_unique<SceneDispatcher>(m_config.get());
  SceneDispatcher* sceneDispatcher = dispatcher.get();
  m_dispatcher = std::move(dispatcher);
  m_broadphase = std::make_unique<btDbvtBroadphase>();
  // New pairs are found once per step for all moved bodies, not at every bounds update
  // (a ship turning on the waves updates its bounds several times a frame).
  m_broadphase->m_deferedcollide = true;
  m_solver = std::make_unique<btSequentialImpulseConstraintSolver>();
  m_world = std::make_unique<SceneWorld>(sceneDispatcher, m_broadphase.get(), m_solver.get(), m_config.get());
  m_broadphase->getOverlappingPairCache()->setInternalGhostPairCallback(m_ghostCallback.get());
  m_broadphase->getOverlappingPairCache()->setOverlapFilterCallback(m_filter.get());
  SetGravity(m_module.GetGlobalGravity());
  ApplySolverSettings();
}

void vPhysXScene::ApplySolverSettings() { m_world->getSolverInfo().m_linearSlop = m_module.GetSkinWidth(); }

vPhysXScene::~vPhysXScene() {
  ClearWorldCollision();
  // The module took the objects' physics down first; free actors are not expected.
  for (NxActor* a : std::vector<NxActor*>(m_actors)) DestroyActor(a);
  for (NxD6Joint* j : std::vector<NxD6Joint*>(m_joints)) ReleaseJoint(j);
}

void vPhysXScene::SetGravity(const VisVector_cl& g) {
  m_world->setGravity(ToBt(g));
  // Bullet passes it on to awake bodies only; sleeping ones must not wake with the old one.
  for (NxActor* a : m_actors) {
    NxActorImpl& impl = *a->m_pImpl;
    if (!(impl.flags & (NX_BF_DISABLE_GRAVITY | NX_BF_KINEMATIC))) impl.body->setGravity(ToBt(g));
  }
}

// ---- objects -----------------------------------------------------------------

void vPhysXScene::AddObject(vPhysXObject* obj) {
  if (m_objects.empty() && m_actors.empty()) {
    // The first body of a scene starts a fresh world, so that a scene plays the same
    // however often one was loaded before.
    ClearWorldCollision();
    MakeWorld();
    m_worldSynced = false;
  }
  m_objects.push_back(obj);
  m_live.insert(obj);
}

void vPhysXScene::RemoveObject(vPhysXObject* obj) {
  m_live.erase(obj);
  m_objects.erase(std::remove(m_objects.begin(), m_objects.end(), obj), m_objects.end());
  // A contact not yet delivered must not name it any more.
  for (PendingContact& c : m_contacts)
    for (int i = 0; i < 2; ++i)
      if (c.object[i] == obj) c.object[i] = nullptr, c.serial[i] = 0;
}

bool vPhysXScene::IsLive(const vPhysXObject* obj, uint64_t serial) const {
  return obj && m_live.count(obj) && obj->GetSerial() == serial;
}

// ---- collision objects --------------------------------------------------------

void vPhysXScene::AddCollisionObject(btCollisionObject* obj, vPhysXCollisionInfo* info) {
  obj->setUserPointer(info);
  // All filter bits set: Bullet's own tests always pass and FilterCallback decides.
  if (btRigidBody* body = btRigidBody::upcast(obj))
    m_world->addRigidBody(body, -1, -1);
  else
    m_world->addCollisionObject(obj, -1, -1);
}

void vPhysXScene::RemoveCollisionObject(btCollisionObject* obj) {
  if (btRigidBody* body = btRigidBody::upcast(obj))
    m_world->removeRigidBody(body);
  else
    m_world->removeCollisionObject(obj);
}

void vPhysXScene::RefreshFilter(btCollisionObject* obj) {
  auto* info = static_cast<vPhysXCollisionInfo*>(obj->getUserPointer());
  RemoveCollisionObject(obj);
  AddCollisionObject(obj, info);
}

void vPhysXScene::RefreshAllFilters() {
  std::vector<btCollisionObject*> all;
  const btCollisionObjectArray& objs = m_world->getCollisionObjectArray();
  for (int i = 0; i < objs.size(); ++i)
    if (!objs[i]->isStaticObject()) all.push_back(objs[i]);
  for (btCollisionObject* o : all) RefreshFilter(o);
}

// ---- actors -------------------------------------------------------------------

float vPhysXScene::ShapeVolume(const NxShape& s) {
  switch (s.getType()) {
    case NX_SHAPE_SPHERE: return 4.18879f * std::pow(s.getRadius(), 3.0f);
    case NX_SHAPE_CAPSULE:
    case NX_SHAPE_CAPSULE_Y:
      return 3.14159f * s.getRadius() * s.getRadius() * s.getHeight() + 4.18879f * std::pow(s.getRadius(), 3.0f);
    case NX_SHAPE_BOX: {
      const VisVector_cl& d = s.getDimensions();
      return 8.0f * std::fabs(d.x * d.y * d.z);
    }
    case NX_SHAPE_CONVEX: {
      VisBoundingBox_cl box;
      for (const VisVector_cl& p : s.getPoints()) box.ExpandToInclude(p);
      return box.IsValid() ? box.GetSizeX() * box.GetSizeY() * box.GetSizeZ() : 0.0f;
    }
  }
  return 0.0f;
}

std::unique_ptr<btCollisionShape> vPhysXScene::MakeShape(const NxShapeDesc& d) {
  auto positive = [](float v) { return std::isfinite(v) && v > 0.0f ? v : 0.01f; };
  switch (d.type) {
    case NX_SHAPE_SPHERE:
      return std::make_unique<btSphereShape>(positive(d.radius));
    case NX_SHAPE_CAPSULE:
      return std::make_unique<btCapsuleShapeZ>(positive(d.radius), positive(d.height));
    case NX_SHAPE_CAPSULE_Y:
      return std::make_unique<btCapsuleShape>(positive(d.radius), positive(d.height));
    case NX_SHAPE_CONVEX:
      if (!d.points.empty()) {
        auto hull = std::make_unique<btConvexHullShape>();
        for (const VisVector_cl& p : d.points) hull->addPoint(ToBt(p), false);
        hull->recalcLocalAabb();
        return hull;
      }
      break;
    case NX_SHAPE_BOX:
      break;
  }
  const VisVector_cl& h = d.dimensions;
  return std::make_unique<btBoxShape>(btVector3(positive(std::fabs(h.x)), positive(std::fabs(h.y)),
                                                positive(std::fabs(h.z))));
}

NxActor* vPhysXScene::CreateActor(vPhysXObject* owner, const NxShapeDesc& shape, const btTransform& pose,
                                  float mass, bool kinematic) {
  auto* actor = new NxActor();
  NxActorImpl& impl = *actor->m_pImpl;
  impl.scene = this;
  impl.info.kind = vPhysXCollisionInfo::ACTOR;
  impl.info.object = owner;
  impl.info.actor = actor;
  if (owner) {
    impl.info.serial = owner->GetSerial();
    impl.info.group = owner->GetCollisionGroup();
    impl.info.mask = owner->GetCollisionBitmask();
  }
  impl.mass = mass > 0.0f && std::isfinite(mass) ? mass : 1.0f;
  impl.flags = kinematic ? NX_BF_KINEMATIC : 0;
  actor->m_shapes.emplace_back(new NxShape(actor, shape));
  actor->m_shapeList.push_back(actor->m_shapes.back().get());

  impl.compound = std::make_unique<btCompoundShape>();
  btRigidBody::btRigidBodyConstructionInfo ci(impl.mass, nullptr, impl.compound.get());
  impl.body = std::make_unique<btRigidBody>(ci);
  impl.body->setWorldTransform(pose);
  impl.body->setInterpolationWorldTransform(pose);
  impl.body->setDamping(0.0f, 1.0f - std::exp(-impl.angularDamping));
  // Kinetic energy per unit mass E = v^2 / 2: the speed below which the body may sleep.
  const btScalar sleepSpeed = std::sqrt(2.0f * m_module.GetSleepEnergy());
  impl.body->setSleepingThresholds(sleepSpeed, 1.25f * sleepSpeed);
  m_actors.push_back(actor);
  RebuildActorShape(*actor);  // shape, mass, flags, then into the world
  return actor;
}

void vPhysXScene::DestroyActor(NxActor* actor) {
  if (!actor) return;
  NxActorImpl& impl = *actor->m_pImpl;
  // A joint must not outlive either of its bodies.
  for (NxD6Joint* j : std::vector<NxD6Joint*>(impl.joints)) ReleaseJoint(j);
  for (auto it = m_ignoredPairs.begin(); it != m_ignoredPairs.end();)
    it = (it->first == actor || it->second == actor) ? m_ignoredPairs.erase(it) : std::next(it);
  if (impl.body && impl.body->isInWorld()) RemoveCollisionObject(impl.body.get());
  m_actors.erase(std::remove(m_actors.begin(), m_actors.end(), actor), m_actors.end());
  for (PendingContact& c : m_contacts)
    for (int i = 0; i < 2; ++i)
      if (c.key[i] == actor) c.object[i] = nullptr, c.serial[i] = 0;
  delete actor;
}

void vPhysXScene::RebuildActorShape(NxActor& actor) {
  NxActorImpl& impl = *actor.m_pImpl;
  btRigidBody& body = *impl.body;
  if (body.isInWorld()) RemoveCollisionObject(&body);
  // The body's frame moves to the shapes' centre (by volume) when the actor asks.
  const btTransform actorPose = impl.ActorFromBody(body.getWorldTransform());
  btVector3 offset(0, 0, 0);
  if (impl.centreMassOnShapes) {
    btScalar total = 0;
    for (auto& s : actor.m_shapes) {
      const btScalar v = ShapeVolume(*s) + btScalar(1e-9);
      offset += ToBt(s->getLocalPosition()) * v;
      total += v;
    }
    if (total > 0) offset /= total;
  }
  if (impl.centreMassOnShapes) {
    impl.massOffset = offset;
    const btTransform bodyPose = impl.BodyFromActor(actorPose);
    body.setWorldTransform(bodyPose);
    body.setInterpolationWorldTransform(bodyPose);
  }
  auto compound = std::make_unique<btCompoundShape>();
  std::vector<std::unique_ptr<btCollisionShape>> children;
  for (auto& s : actor.m_shapes) {
    NxShapeDesc d;
    s->saveToDesc(d);
    children.push_back(MakeShape(d));
    compound->addChildShape(btTransform(ToBt(d.localRotation), ToBt(d.localPosition) - offset),
                            children.back().get());
  }
  // A lone shape in the body's frame collides as itself: the compound around it would
  // only add a layer of bounds and child dispatch to every contact. The compound stays
  // for the body's inertia.
  const bool alone = children.size() == 1 && compound->getChildTransform(0) == btTransform::getIdentity();
  body.setCollisionShape(alone ? children.front().get() : compound.get());
  impl.compound = std::move(compound);
  impl.childShapes = std::move(children);
  ApplyActorFlags(actor);  // mass, gravity, freezing and the world
}

void vPhysXScene::SetActorFilter(NxActor& actor, int group, unsigned mask) {
  vPhysXCollisionInfo& info = actor.m_pImpl->info;
  if (info.group == group && info.mask == mask) return;
  info.group = group;
  info.mask = mask;
  RefreshFilter(actor.m_pImpl->body.get());
}

void vPhysXScene::ApplyActorMass(NxActor& actor) {
  NxActorImpl& impl = *actor.m_pImpl;
  if (impl.flags & NX_BF_KINEMATIC) {
    impl.body->setMassProps(0.0f, btVector3(0, 0, 0));
  } else {
    btVector3 inertia(0, 0, 0);
    impl.compound->calculateLocalInertia(impl.mass, inertia);
    impl.body->setMassProps(impl.mass, inertia);
  }
  impl.body->updateInertiaTensor();
}

void vPhysXScene::ApplyActorFlags(NxActor& actor) {
  NxActorImpl& impl = *actor.m_pImpl;
  btRigidBody& body = *impl.body;
  const bool inWorld = body.isInWorld();
  if (inWorld) RemoveCollisionObject(&body);
  const bool kinematic = (impl.flags & NX_BF_KINEMATIC) != 0;
  // Mass first: Bullet marks a body of mass 0 static, which a kinematic one must not be
  // (the world then leaves its move velocity uncomputed).
  ApplyActorMass(actor);
  int cf = body.getCollisionFlags() & ~(btCollisionObject::CF_KINEMATIC_OBJECT | btCollisionObject::CF_STATIC_OBJECT);
  if (kinematic) cf |= btCollisionObject::CF_KINEMATIC_OBJECT;
  body.setCollisionFlags(cf);
  if (kinematic) {
    body.setLinearVelocity(btVector3(0, 0, 0));
    body.setAngularVelocity(btVector3(0, 0, 0));
    body.setActivationState(DISABLE_DEACTIVATION);
  } else {
    body.forceActivationState(ACTIVE_TAG);
    body.setDeactivationTime(0);
  }
  if (impl.flags & NX_BF_DISABLE_GRAVITY)
    body.setFlags(body.getFlags() | BT_DISABLE_WORLD_GRAVITY);
  else
    body.setFlags(body.getFlags() & ~BT_DISABLE_WORLD_GRAVITY);
  body.setLinearFactor((impl.flags & NX_BF_FROZEN_POS_Z) ? btVector3(1, 1, 0) : btVector3(1, 1, 1));
  AddCollisionObject(&body, &impl.info);
  // The world gives gravity to the bodies it takes; a body without keeps none.
  if (impl.flags & NX_BF_DISABLE_GRAVITY) body.setGravity(btVector3(0, 0, 0));
}

// ---- world collision ------------------------------------------------------------

void vPhysXScene::ClearWorldCollision() {
  for (StaticBody& s : m_static)
    if (s.body && s.body->isInWorld()) RemoveCollisionObject(s.body.get());
  m_static.clear();
  m_heights.clear();
  // Contacts naming the world's pieces are dropped with them.
  m_contacts.erase(std::remove_if(m_contacts.begin(), m_contacts.end(),
                                  [](const PendingContact& c) {
                                    return c.geometry[0] || c.geometry[1] || c.terrain[0] || c.terrain[1];
                                  }),
                   m_contacts.end());
}

void vPhysXScene::SyncWorldCollision() {
  const VisWorld_cl& world = Vision::World;
  if (m_worldSynced && m_worldRevision == world.GetCollisionRevision()) return;
  m_worldSynced = true;
  m_worldRevision = world.GetCollisionRevision();
  ClearWorldCollision();

  auto addStatic = [this](std::unique_ptr<btCollisionShape> shape, const btTransform& pose,
                          std::unique_ptr<vPhysXCollisionInfo> info) {
    StaticBody s;
    s.shape = std::move(shape);
    btRigidBody::btRigidBodyConstructionInfo ci(0.0f, nullptr, s.shape.get());
    s.body = std::make_unique<btRigidBody>(ci);
    s.body->setWorldTransform(pose);
    s.info = std::move(info);
    AddCollisionObject(s.body.get(), s.info.get());
    m_static.push_back(std::move(s));
  };

  if (world.HasTerrain()) {
    auto info = std::make_unique<vPhysXCollisionInfo>();
    info->kind = vPhysXCollisionInfo::TERRAIN;
    if (world.IsHeightFieldTerrain()) {
      m_heights = world.GetTerrainHeights();
      const int nx = world.GetTerrainSamplesX(), ny = world.GetTerrainSamplesY();
      const float minH = *std::min_element(m_heights.begin(), m_heights.end());
      const float maxH = *std::max_element(m_heights.begin(), m_heights.end());
      auto field = std::make_unique<vPhysXHeightField>(nx, ny, m_heights.data(), minH, maxH);
      field->setLocalScaling(btVector3(world.GetTerrainSizeX() / (nx - 1), world.GetTerrainSizeY() / (ny - 1), 1));
      // Bullet centres the field on its bounding box.
      const VisVector_cl& o = world.GetTerrainOrigin();
      btTransform pose(btQuaternion::getIdentity(),
                       btVector3(o.x + world.GetTerrainSizeX() * 0.5f, o.y + world.GetTerrainSizeY() * 0.5f,
                                 o.z + (minH + maxH) * 0.5f));
      addStatic(std::move(field), pose, std::move(info));
    } else {
      auto plane = std::make_unique<btStaticPlaneShape>(btVector3(0, 0, 1), world.GetFlatTerrainHeight());
      addStatic(std::move(plane), btTransform::getIdentity(), std::move(info));
    }
  }
  for (int i = 0; i < world.GetStaticGeometryInstanceCount(); ++i) {
    VisStaticGeometryInstance_cl* g = world.GetStaticGeometryInstance(i);
    auto info = std::make_unique<vPhysXCollisionInfo>();
    info->kind = vPhysXCollisionInfo::STATIC_GEOMETRY;
    info->geometry = g;
    const VisVector_cl half = g->GetSize() * 0.5f;
    auto box = std::make_unique<btBoxShape>(btVector3(half.x, half.y, half.z));
    addStatic(std::move(box), btTransform(ToBt(g->GetRotationMatrix()), ToBt(g->GetCenter())), std::move(info));
  }
}

// ---- frame --------------------------------------------------------------------

void vPhysXScene::Simulate(int ticks, float tickTime) {
  SyncWorldCollision();
  const std::vector<vPhysXObject*> objects = m_objects;
  auto live = [this](vPhysXObject* o) { return m_live.count(o) != 0; };
  // The owners' own motion goes to the bodies and controllers that take it.
  for (vPhysXObject* o : objects) {
    if (!live(o) || !o->TakesOwnerMotion()) continue;
    VisBaseEntity_cl* owner = o->GetOwnerEntity();
    if (!owner || owner->GetMotionDelta().IsZero()) continue;
    const VisVector_cl delta = owner->GetMotionDelta();
    owner->ResetMotionDelta();
    o->IncMotionDelta(delta);
  }
  for (vPhysXObject* o : objects)
    if (live(o)) o->BeginFrame(ticks, tickTime);
  for (int t = 0; t < ticks; ++t) {
    for (vPhysXObject* o : objects)
      if (live(o)) o->BeforeTick(t, ticks, tickTime);
    // Kinematic actors move along their way to this frame's target.
    const btScalar f = btScalar(t + 1) / btScalar(ticks);
    for (NxActor* a : m_actors) {
      NxActorImpl& impl = *a->m_pImpl;
      if (!impl.moving) continue;
      btTransform x;
      x.setOrigin(impl.moveFrom.getOrigin().lerp(impl.moveTo.getOrigin(), f));
      x.setRotation(impl.moveFrom.getRotation().slerp(impl.moveTo.getRotation(), f));
      impl.body->setWorldTransform(x);
      if (t + 1 == ticks) impl.moving = false;
    }
    for (NxActor* a : m_actors) {
      NxActorImpl& impl = *a->m_pImpl;
      if (!(impl.maxAngularVelocity > 0.0f)) continue;
      const btVector3 w = impl.body->getAngularVelocity();
      if (w.length2() > btScalar(impl.maxAngularVelocity) * impl.maxAngularVelocity)
        impl.body->setAngularVelocity(w.normalized() * impl.maxAngularVelocity);
    }
    m_world->stepSimulation(tickTime, 0, tickTime);
    CollectContacts();
  }
}

void vPhysXScene::WriteBackPoses() {
  const std::vector<vPhysXObject*> objects = m_objects;
  for (vPhysXObject* o : objects)
    if (m_live.count(o)) o->WriteBackPose();
}

void vPhysXScene::CollectContacts() {
  std::set<std::pair<const void*, const void*>> seen;
  for (const PendingContact& c : m_contacts) seen.insert({c.key[0], c.key[1]});
  const int n = m_dispatcher->getNumManifolds();
  for (int i = 0; i < n; ++i) {
    btPersistentManifold* m = m_dispatcher->getManifoldByIndexInternal(i);
    if (m->getNumContacts() == 0) continue;
    const btCollisionObject* a = m->getBody0();
    const btCollisionObject* b = m->getBody1();
    auto* ia = static_cast<const vPhysXCollisionInfo*>(a->getUserPointer());
    auto* ib = static_cast<const vPhysXCollisionInfo*>(b->getUserPointer());
    if (!ia || !ib) continue;
    // Controllers report nothing; someone must be an actor.
    if (ia->kind == vPhysXCollisionInfo::CONTROLLER || ib->kind == vPhysXCollisionInfo::CONTROLLER) continue;
    if (ia->kind != vPhysXCollisionInfo::ACTOR && ib->kind != vPhysXCollisionInfo::ACTOR) continue;
    int best = -1;
    for (int j = 0; j < m->getNumContacts(); ++j) {
      const btScalar d = m->getContactPoint(j).getDistance();
      if (d <= kTouchDistance && (best < 0 || d < m->getContactPoint(best).getDistance())) best = j;
    }
    if (best < 0) continue;
    const btManifoldPoint& pt = m->getContactPoint(best);
    // Actors first, the older one first.
    const bool swap = ia->kind != vPhysXCollisionInfo::ACTOR ||
                      (ib->kind == vPhysXCollisionInfo::ACTOR && ib->serial < ia->serial);
    const vPhysXCollisionInfo* info[2] = {swap ? ib : ia, swap ? ia : ib};
    PendingContact c;
    for (int k = 0; k < 2; ++k) {
      c.object[k] = info[k]->object;
      c.serial[k] = info[k]->serial;
      c.geometry[k] = info[k]->geometry;
      c.terrain[k] = info[k]->kind == vPhysXCollisionInfo::TERRAIN ? 1 : 0;
      c.key[k] = info[k]->actor ? static_cast<const void*>(info[k]->actor) : static_cast<const void*>(info[k]);
    }
    if (!seen.insert({c.key[0], c.key[1]}).second) continue;
    c.point = (pt.getPositionWorldOnA() + pt.getPositionWorldOnB()) * 0.5f;
    // Bullet's normal lies on B and points toward A.
    c.normal = swap ? -pt.m_normalWorldOnB : pt.m_normalWorldOnB;
    m_contacts.push_back(c);
  }
}

void vPhysXScene::DeliverContacts() {
  std::vector<PendingContact> contacts;
  contacts.swap(m_contacts);
  std::stable_sort(contacts.begin(), contacts.end(), [](const PendingContact& x, const PendingContact& y) {
    return x.serial[0] != y.serial[0] ? x.serial[0] < y.serial[0] : x.serial[1] < y.serial[1];
  });
  const unsigned revision = Vision::World.GetCollisionRevision();
  for (const PendingContact& c : contacts) {
    for (int side = 0; side < 2; ++side) {
      // A handler may have deleted a participant or emptied the world meanwhile.
      bool valid = revision == Vision::World.GetCollisionRevision() || (!c.geometry[0] && !c.geometry[1]);
      for (int k = 0; k < 2 && valid; ++k)
        if (c.key[k] && c.serial[k] && !IsLive(c.object[k], c.serial[k])) valid = false;
      for (int k = 0; k < 2 && valid; ++k)
        if (!c.object[k] && !c.geometry[k] && !c.terrain[k]) valid = false;
      if (!valid) break;
      vPhysXObject* obj = c.object[side];
      if (!obj || !obj->WantsContactReports()) continue;
      VisBaseEntity_cl* owner = obj->GetOwnerEntity();
      if (!owner || owner->IsMarkedRemoved()) continue;
      vPhysXContactRecord record;
      for (int k = 0; k < 2; ++k) {
        record.participant[k].pObject = c.object[k];
        record.participant[k].pStaticGeometry = c.geometry[k];
        record.participant[k].iTerrain = c.terrain[k];
      }
      record.vPoint = ToVis(c.point);
      record.vNormal = ToVis(c.normal);
      owner->MessageFunction(VIS_MSG_PHYSICS_CONTACT, (INT_PTR)&record, VPHYSX_CONTACT_NOTIFY);
    }
  }
}

// ---- ray casts ----------------------------------------------------------------

namespace {
// The kind and objects of a hit on the object with this info (no place yet).
VisPhysicsHit_t HitOn(const vPhysXCollisionInfo& info) {
  VisPhysicsHit_t hit;
  switch (info.kind) {
    case vPhysXCollisionInfo::ACTOR:
    case vPhysXCollisionInfo::CONTROLLER:
      hit.eHitType = info.kind == vPhysXCollisionInfo::ACTOR ? VIS_PHYSICSHIT_ENTITY : VIS_PHYSICSHIT_CONTROLLER;
      hit.pPhysicsObject = info.object;
      hit.pHitObject = info.object ? info.object->GetOwner() : nullptr;
      break;
    case vPhysXCollisionInfo::STATIC_GEOMETRY:
      hit.eHitType = VIS_PHYSICSHIT_STATICGEOMETRY;
      hit.pHitObject = info.geometry;
      break;
    case vPhysXCollisionInfo::TERRAIN:
      hit.eHitType = VIS_PHYSICSHIT_TERRAIN;
      break;
  }
  return hit;
}

// Every object the ray meets, each once at its nearest point; objects the query does not
// want are not tested.
struct AllObjectsRayCallback : btCollisionWorld::RayResultCallback {
  struct Hit {
    const btCollisionObject* object;
    btScalar fraction;
    btVector3 normal;
  };
  explicit AllObjectsRayCallback(const VisPhysicsRaycastBase_cl& query)
      : m_query(query), m_filter((unsigned)query.iCollisionFilter) {}
  bool needsCollision(btBroadphaseProxy* proxy) const override {
    auto* o = static_cast<btCollisionObject*>(proxy->m_clientObject);
    auto* info = o ? static_cast<const vPhysXCollisionInfo*>(o->getUserPointer()) : nullptr;
    return info && (m_filter & (1u << (info->group & 31))) != 0 && m_query.WantsHitOn(HitOn(*info));
  }
  btScalar addSingleResult(btCollisionWorld::LocalRayResult& r, bool normalInWorldSpace) override {
    const btCollisionObject* o = r.m_collisionObject;
    btVector3 n = normalInWorldSpace ? r.m_hitNormalLocal : o->getWorldTransform().getBasis() * r.m_hitNormalLocal;
    for (Hit& h : hits) {
      if (h.object != o) continue;
      if (r.m_hitFraction < h.fraction) h.fraction = r.m_hitFraction, h.normal = n;
      return m_closestHitFraction;
    }
    hits.push_back({o, r.m_hitFraction, n});
    m_collisionObject = o;
    return m_closestHitFraction;
  }
  const VisPhysicsRaycastBase_cl& m_query;
  unsigned m_filter;
  std::vector<Hit> hits;
};
}  // namespace

namespace {
// The ray's hits to the query, nearest first, until it wants no more.
bool ReportHits(VisPhysicsRaycastBase_cl& query, AllObjectsRayCallback& cb) {
  if (cb.hits.empty()) return false;
  const btVector3 from = vPhysXScene::ToBt(query.vRayStart), to = vPhysXScene::ToBt(query.vRayEnd);
  const btVector3 dir = to - from;
  const btScalar length = dir.length();
  std::stable_sort(cb.hits.begin(), cb.hits.end(), [](const auto& x, const auto& y) { return x.fraction < y.fraction; });
  for (const auto& h : cb.hits) {
    VisPhysicsHit_t hit = HitOn(*static_cast<const vPhysXCollisionInfo*>(h.object->getUserPointer()));
    hit.fHitFraction = (float)h.fraction;
    hit.fHitDistance = (float)(h.fraction * length);
    hit.vImpactPoint = vPhysXScene::ToVis(from + dir * h.fraction);
    btVector3 n = h.normal.fuzzyZero() ? -dir / length : h.normal.normalized();
    if (n.dot(dir) > 0) n = -n;
    hit.vImpactNormal = vPhysXScene::ToVis(n);
    if (!query.OnHit(hit)) break;
  }
  return true;
}
}  // namespace

bool vPhysXScene::Raycast(VisPhysicsRaycastBase_cl& query) {
  SyncWorldCollision();
  const btVector3 from = ToBt(query.vRayStart), to = ToBt(query.vRayEnd);
  const btVector3 dir = to - from;
  const btScalar length = dir.length();
  if (!(length > 0.0f) || !std::isfinite(length)) return false;
  AllObjectsRayCallback cb(query);
  m_world->rayTest(from, to, cb);
  return ReportHits(query, cb);
}

namespace {
// A ray set up as btCollisionWorld::rayTest sets it up, for a walk of the broadphase
// shared with other rays.
struct BatchedRay {
  explicit BatchedRay(VisPhysicsRaycastBase_cl& query, const btVector3& from, const btVector3& to)
      : callback(query), from(from), to(to) {
    fromTrans.setIdentity();
    fromTrans.setOrigin(from);
    toTrans.setIdentity();
    toTrans.setOrigin(to);
    btVector3 dir = to - from;
    dir.normalize();
    for (int i = 0; i < 3; ++i) {
      inverse[i] = dir[i] == btScalar(0.0) ? btScalar(BT_LARGE_FLOAT) : btScalar(1.0) / dir[i];
      signs[i] = inverse[i] < 0.0;
    }
    lambdaMax = dir.dot(to - from);
  }
  bool Passes(const btDbvtNode* node) const {
    btVector3 bounds[2] = {node->volume.Mins(), node->volume.Maxs()};
    btScalar tmin = 1.f, lambdaMin = 0.f;
    return btRayAabb2(from, inverse, signs, bounds, tmin, lambdaMin, lambdaMax);
  }
  AllObjectsRayCallback callback;
  btVector3 from, to;
  btTransform fromTrans, toTrans;
  btVector3 inverse;
  unsigned signs[3];
  btScalar lambdaMax;
};
}  // namespace

void vPhysXScene::Raycasts(VisPhysicsRaycastBase_cl* const* queries, int count, bool* results) {
  SyncWorldCollision();
  constexpr int kChunk = 8;
  for (int first = 0; first < count; first += kChunk) {
    std::optional<BatchedRay> rays[kChunk];
    int slot[kChunk];
    int n = 0;
    btVector3 lo(BT_LARGE_FLOAT, BT_LARGE_FLOAT, BT_LARGE_FLOAT), hi = -lo;
    for (int q = first; q < std::min(count, first + kChunk); ++q) {
      if (results) results[q] = false;
      if (!queries[q]) continue;
      const btVector3 from = ToBt(queries[q]->vRayStart), to = ToBt(queries[q]->vRayEnd);
      const btScalar length = (to - from).length();
      if (!(length > 0.0f) || !std::isfinite(length)) continue;
      rays[n].emplace(*queries[q], from, to);
      slot[n++] = q;
      lo.setMin(from), lo.setMin(to), hi.setMax(from), hi.setMax(to);
    }
    if (n == 0) continue;
    // A box round every ray, a little wider than rounding could reach: a node outside
    // it cannot pass any ray's own test.
    const btVector3 a = lo.absolute(), b = hi.absolute();
    const btScalar reach = std::max({a.x(), a.y(), a.z(), b.x(), b.y(), b.z()});
    const btScalar widen = (btScalar)(0.01 + 1e-5 * reach);
    lo -= btVector3(widen, widen, widen);
    hi += btVector3(widen, widen, widen);
    // Bullet's walk (depth first, second child first, the moving set before the fixed
    // one) once for all rays; each ray follows only the nodes its own test lets through,
    // so each meets the same leaves in the same order as alone.
    std::vector<std::pair<const btDbvtNode*, unsigned>>& stack = m_rayStack;
    for (btDbvt* set : {&m_broadphase->m_sets[0], &m_broadphase->m_sets[1]}) {
      if (!set->m_root) continue;
      stack.clear();
      stack.emplace_back(set->m_root, (1u << n) - 1u);
      while (!stack.empty()) {
        const auto [node, mask] = stack.back();
        stack.pop_back();
        const btVector3& mins = node->volume.Mins();
        const btVector3& maxs = node->volume.Maxs();
        if (mins.x() > hi.x() || mins.y() > hi.y() || mins.z() > hi.z() || maxs.x() < lo.x() || maxs.y() < lo.y() ||
            maxs.z() < lo.z())
          continue;
        unsigned passed = 0;
        for (int r = 0; r < n; ++r)
          if ((mask & (1u << r)) && rays[r]->Passes(node)) passed |= 1u << r;
        if (!passed) continue;
        if (node->isinternal()) {
          stack.emplace_back(node->childs[0], passed);
          stack.emplace_back(node->childs[1], passed);
          continue;
        }
        auto* object = static_cast<btCollisionObject*>(static_cast<btBroadphaseProxy*>(node->data)->m_clientObject);
        for (int r = 0; r < n; ++r) {
          if (!(passed & (1u << r))) continue;
          AllObjectsRayCallback& cb = rays[r]->callback;
          if (cb.m_closestHitFraction == btScalar(0.f)) continue;
          if (!cb.needsCollision(object->getBroadphaseHandle())) continue;
          btCollisionWorld::rayTestSingle(rays[r]->fromTrans, rays[r]->toTrans, object, object->getCollisionShape(),
                                          object->getWorldTransform(), cb);
        }
      }
    }
    for (int r = 0; r < n; ++r) {
      const bool hit = ReportHits(*queries[slot[r]], rays[r]->callback);
      if (results) results[slot[r]] = hit;
    }
  }
}

// ---- free actors and joints ------------------------------------------------------

NxActor* vPhysXScene::CreateFreeActor(vPhysXObject* owner, const NxShapeDesc& shape, const btTransform& pose,
                                      float density) {
  NxActor* actor = CreateActor(owner, shape, pose, 1.0f, false);
  actor->m_pImpl->centreMassOnShapes = true;
  RebuildActorShape(*actor);
  actor->updateMassFromShapes(density, 0.0f);
  return actor;
}

namespace {
// A joint frame in a body's space: x the axis, z the normal made perpendicular to it,
// at the anchor (the body's frame sits at its centre of mass).
btTransform JointFrame(const NxActorImpl& impl, const VisVector_cl& anchor, const VisVector_cl& axis,
                       const VisVector_cl& normal) {
  const btVector3 x = vPhysXScene::ToBt(axis).normalized();
  btVector3 z = vPhysXScene::ToBt(normal);
  z = (z - x * z.dot(x)).normalized();
  const btVector3 y = z.cross(x);
  btMatrix3x3 basis(x.x(), y.x(), z.x(), x.y(), y.y(), z.y(), x.z(), y.z(), z.z());
  return btTransform(basis, vPhysXScene::ToBt(anchor) - impl.massOffset);
}

// Bullet's limit pair for a motion: equal bounds lock, reversed ones free the axis.
void MotionLimit(NxD6JointMotion motion, btScalar lo, btScalar hi, btScalar& outLo, btScalar& outHi) {
  switch (motion) {
    case NX_D6JOINT_MOTION_LOCKED: outLo = outHi = 0; return;
    case NX_D6JOINT_MOTION_LIMITED: outLo = std::min(lo, hi), outHi = std::max(lo, hi); return;
    case NX_D6JOINT_MOTION_FREE: outLo = 1, outHi = -1; return;
  }
  outLo = outHi = 0;
}
}  // namespace

NxD6Joint* vPhysXScene::CreateD6Joint(const NxD6JointDesc& desc) {
  if (!desc.isValid()) return nullptr;
  NxActorImpl& a = *desc.actor[0]->m_pImpl;
  NxActorImpl& b = *desc.actor[1]->m_pImpl;
  if (a.scene != this || b.scene != this) return nullptr;
  auto* joint = new NxD6Joint();
  joint->m_desc = desc;
  joint->m_pImpl = new NxD6JointImpl();
  const btTransform frameA = JointFrame(a, desc.localAnchor[0], desc.localAxis[0], desc.localNormal[0]);
  const btTransform frameB = JointFrame(b, desc.localAnchor[1], desc.localAxis[1], desc.localNormal[1]);
  auto c = std::make_unique<btGeneric6DofSpring2Constraint>(*a.body, *b.body, frameA, frameB, RO_XYZ);
  const NxD6JointMotion linear[3] = {desc.xMotion, desc.yMotion, desc.zMotion};
  for (int i = 0; i < 3; ++i) {
    const bool free = linear[i] == NX_D6JOINT_MOTION_FREE;
    c->setLimit(i, free ? 1 : 0, free ? -1 : 0);
  }
  // Bullet's angular axes: x twist, y swing 2, z swing 1.
  struct Axis {
    NxD6JointMotion motion;
    float lo, hi;
    const NxJointLimitSoftDesc& limit;
  };
  const Axis axes[3] = {
      {desc.twistMotion, desc.twistLimit.low.value, desc.twistLimit.high.value, desc.twistLimit.low},
      {desc.swing2Motion, -desc.swing2Limit.value, desc.swing2Limit.value, desc.swing2Limit},
      {desc.swing1Motion, -desc.swing1Limit.value, desc.swing1Limit.value, desc.swing1Limit},
  };
  for (int i = 0; i < 3; ++i) {
    btScalar lo, hi;
    MotionLimit(axes[i].motion, axes[i].lo, axes[i].hi, lo, hi);
    c->setLimit(3 + i, lo, hi);
    c->setBounce(3 + i, std::clamp(axes[i].limit.restitution, 0.0f, 1.0f));
    if (axes[i].limit.spring > 0.0f) {
      c->enableSpring(3 + i, true);
      c->setStiffness(3 + i, axes[i].limit.spring);
      c->setDamping(3 + i, std::max(0.0f, axes[i].limit.damping));
    }
  }
  // Hard limits: errors are taken out within a few ticks, not a fifth of them per tick.
  for (int i = 0; i < 6; ++i) c->setParam(BT_CONSTRAINT_STOP_ERP, 0.8f, i);
  joint->m_pImpl->constraint = std::move(c);
  m_world->addConstraint(joint->m_pImpl->constraint.get(), false);
  m_joints.push_back(joint);
  a.joints.push_back(joint);
  b.joints.push_back(joint);
  UpdateJointIterations(*desc.actor[0]);
  return joint;
}

void vPhysXScene::ReleaseJoint(NxD6Joint* joint) {
  if (!joint || std::find(m_joints.begin(), m_joints.end(), joint) == m_joints.end()) return;
  m_world->removeConstraint(joint->m_pImpl->constraint.get());
  for (NxActor* actor : joint->m_desc.actor) {
    std::vector<NxD6Joint*>& list = actor->m_pImpl->joints;
    list.erase(std::remove(list.begin(), list.end(), joint), list.end());
    // The bodies it held may now move on their own.
    if (actor->isDynamic()) actor->m_pImpl->body->activate(true);
  }
  m_joints.erase(std::remove(m_joints.begin(), m_joints.end(), joint), m_joints.end());
  delete joint;
}

void vPhysXScene::UpdateJointIterations(NxActor& actor) {
  for (NxD6Joint* j : actor.m_pImpl->joints) {
    const unsigned n = std::max(j->m_desc.actor[0]->m_pImpl->solverIterations,
                                j->m_desc.actor[1]->m_pImpl->solverIterations);
    j->m_pImpl->constraint->setOverrideNumSolverIterations(n > 0 ? (int)n : -1);
  }
}

void vPhysXScene::SetActorPairFlags(NxActor* a, NxActor* b, unsigned flags) {
  if (!a || !b || a == b) return;
  const std::pair<const NxActor*, const NxActor*> key(std::min<const NxActor*>(a, b), std::max<const NxActor*>(a, b));
  const bool had = m_ignoredPairs.count(key) != 0;
  const bool want = (flags & NX_IGNORE_PAIR) != 0;
  if (had == want) return;
  if (want)
    m_ignoredPairs.insert(key);
  else
    m_ignoredPairs.erase(key);
  // Pairs already made by the broadphase are made again under the new rule.
  RefreshFilter(a->m_pImpl->body.get());
}

unsigned vPhysXScene::GetActorPairFlags(NxActor* a, NxActor* b) const { return IgnoresPair(a, b) ? NX_IGNORE_PAIR : 0; }

bool vPhysXScene::IgnoresPair(const NxActor* a, const NxActor* b) const {
  if (m_ignoredPairs.empty()) return false;
  return m_ignoredPairs.count(std::pair<const NxActor*, const NxActor*>(std::min(a, b), std::max(a, b))) != 0;
}
