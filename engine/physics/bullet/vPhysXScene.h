// Inside of the physics module: the Bullet world with its bodies, the world's static
// geometry and terrain, ticks, contacts and ray casts. Only the physics module's own
// sources include this header (it brings in Bullet).
#pragma once

#include "engine/physics/NxActor.h"
#include "engine/physics/NxJoint.h"
#include "engine/physics/vPhysXContactRecord.h"

#include <btBulletDynamicsCommon.h>
#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/ConstraintSolver/btGeneric6DofSpring2Constraint.h>
#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>

#include <cstdint>
#include <memory>
#include <set>
#include <unordered_set>
#include <vector>

class vPhysXModule;
class vPhysXObject;
class vPhysXScene;
class VisPhysicsRaycastBase_cl;
class VisStaticGeometryInstance_cl;

// What a Bullet collision object stands for (its user pointer).
struct vPhysXCollisionInfo {
  enum Kind { ACTOR, CONTROLLER, STATIC_GEOMETRY, TERRAIN };
  Kind kind = ACTOR;
  vPhysXObject* object = nullptr;
  NxActor* actor = nullptr;
  VisStaticGeometryInstance_cl* geometry = nullptr;
  int group = 0;
  unsigned mask = 0xffffffff;
  uint64_t serial = 0;  // the object's, 0 for static geometry and terrain
};

struct NxActorImpl {
  vPhysXScene* scene = nullptr;
  vPhysXCollisionInfo info;
  // The shapes; the body collides with the lone one directly when it sits at the
  // body's frame. Inertia always comes from the compound.
  std::unique_ptr<btCompoundShape> compound;
  std::vector<std::unique_ptr<btCollisionShape>> childShapes;
  std::unique_ptr<btRigidBody> body;
  unsigned flags = 0;
  float mass = 1.0f;
  float linearDamping = 0.0f, angularDamping = 0.05f;
  VString name;
  // Kinematic move: from the pose at the frame's start to the target over its ticks
  // (body transforms).
  bool moving = false;
  btTransform moveFrom, moveTo;
  // The body's frame sits at the centre of mass: the actor's frame moved by this offset
  // (in the actor's axes). Zero unless centreMassOnShapes.
  bool centreMassOnShapes = false;
  btVector3 massOffset{0, 0, 0};
  unsigned solverIterations = 0;
  float maxAngularVelocity = 0.0f;
  std::vector<NxD6Joint*> joints;

  btTransform BodyFromActor(const btTransform& actorPose) const {
    return btTransform(actorPose.getBasis(), actorPose.getOrigin() + actorPose.getBasis() * massOffset);
  }
  btTransform ActorFromBody(const btTransform& bodyPose) const {
    return btTransform(bodyPose.getBasis(), bodyPose.getOrigin() - bodyPose.getBasis() * massOffset);
  }
};

struct NxD6JointImpl {
  std::unique_ptr<btGeneric6DofSpring2Constraint> constraint;
};

class vPhysXScene {
 public:
  explicit vPhysXScene(vPhysXModule& module);
  ~vPhysXScene();

  btDiscreteDynamicsWorld& World() { return *m_world; }
  void SetGravity(const VisVector_cl& g);
  // The module's skin width into the solver.
  void ApplySolverSettings();
  btVector3 Gravity() const { return m_world->getGravity(); }

  // Objects, oldest first; liveness by pointer and serial.
  void AddObject(vPhysXObject* obj);
  void RemoveObject(vPhysXObject* obj);
  const std::vector<vPhysXObject*>& Objects() const { return m_objects; }
  bool IsLive(const vPhysXObject* obj, uint64_t serial) const;

  // Actors: a rigid body with one shape; owned by the caller (vPhysXRigidBody).
  NxActor* CreateActor(vPhysXObject* owner, const NxShapeDesc& shape, const btTransform& pose, float mass,
                       bool kinematic);
  void DestroyActor(NxActor* actor);
  // Rebuilds the actor's compound shape from its shapes (mass and inertia again).
  void RebuildActorShape(NxActor& actor);
  void ApplyActorFlags(NxActor& actor);
  void ApplyActorMass(NxActor& actor);
  void SetActorFilter(NxActor& actor, int group, unsigned mask);
  // A dynamic actor whose body frame sits at its shape's centre of mass, its mass
  // from the shape's volume times the density.
  NxActor* CreateFreeActor(vPhysXObject* owner, const NxShapeDesc& shape, const btTransform& pose, float density);

  // Joints (NxJoint.h): null for an invalid description. Releasing an actor releases
  // its joints first.
  NxD6Joint* CreateD6Joint(const NxD6JointDesc& desc);
  void ReleaseJoint(NxD6Joint* joint);
  int GetJointCount() const { return (int)m_joints.size(); }
  void UpdateJointIterations(NxActor& actor);
  // Actor-pair flags (NxContactPairFlag); forgotten with either actor.
  void SetActorPairFlags(NxActor* a, NxActor* b, unsigned flags);
  unsigned GetActorPairFlags(NxActor* a, NxActor* b) const;
  bool IgnoresPair(const NxActor* a, const NxActor* b) const;

  // Any collision object: added with its info as user pointer; a filter change
  // removes and adds it again so that its pairs are made anew.
  void AddCollisionObject(btCollisionObject* obj, vPhysXCollisionInfo* info);
  void RemoveCollisionObject(btCollisionObject* obj);
  void RefreshFilter(btCollisionObject* obj);
  void RefreshAllFilters();

  // Frame: ticks, then poses and contacts.
  void Simulate(int ticks, float tickTime);
  void WriteBackPoses();
  void DeliverContacts();
  bool Raycast(VisPhysicsRaycastBase_cl& query);
  // Several rays in one walk of the broadphase, each with the hits, order and result
  // Raycast gives it alone (results may be null).
  void Raycasts(VisPhysicsRaycastBase_cl* const* queries, int count, bool* results);

  // Terrain and static geometry of Vision::World, rebuilt when it changed.
  void SyncWorldCollision();

  static btVector3 ToBt(const VisVector_cl& v) { return btVector3(v.x, v.y, v.z); }
  static VisVector_cl ToVis(const btVector3& v) { return VisVector_cl((float)v.x(), (float)v.y(), (float)v.z()); }
  static btMatrix3x3 ToBt(const VisMatrix3x3_cl& m);
  // Volume of a shape (a convex one by its points' box).
  static float ShapeVolume(const NxShape& shape);
  static VisMatrix3x3_cl ToVis(const btMatrix3x3& m);

 private:
  struct PendingContact {
    vPhysXObject* object[2] = {nullptr, nullptr};
    uint64_t serial[2] = {0, 0};
    VisStaticGeometryInstance_cl* geometry[2] = {nullptr, nullptr};
    int terrain[2] = {0, 0};
    const void* key[2] = {nullptr, nullptr};
    btVector3 point, normal;
  };
  class FilterCallback;
  void MakeWorld();
  void CollectContacts();
  void ClearWorldCollision();
  std::unique_ptr<btCollisionShape> MakeShape(const NxShapeDesc& desc);

  vPhysXModule& m_module;
  // The callbacks outlive the world that calls them.
  std::unique_ptr<btDefaultCollisionConfiguration> m_config;
  std::unique_ptr<btGhostPairCallback> m_ghostCallback;
  std::unique_ptr<FilterCallback> m_filter;
  std::unique_ptr<btCollisionDispatcher> m_dispatcher;
  std::unique_ptr<btDbvtBroadphase> m_broadphase;
  std::unique_ptr<btSequentialImpulseConstraintSolver> m_solver;
  std::unique_ptr<btDiscreteDynamicsWorld> m_world;

  std::vector<vPhysXObject*> m_objects;
  std::unordered_set<const vPhysXObject*> m_live;
  std::vector<NxActor*> m_actors;
  std::vector<NxD6Joint*> m_joints;
  std::set<std::pair<const NxActor*, const NxActor*>> m_ignoredPairs;  // lower address first

  // World collision.
  bool m_worldSynced = false;
  unsigned m_worldRevision = 0;
  struct StaticBody {
    std::unique_ptr<btCollisionShape> shape;
    std::unique_ptr<btRigidBody> body;
    std::unique_ptr<vPhysXCollisionInfo> info;
  };
  std::vector<StaticBody> m_static;
  std::vector<float> m_heights;

  std::vector<PendingContact> m_contacts;
  std::vector<std::pair<const btDbvtNode*, unsigned>> m_rayStack;
};
