// A physics actor: one simulated body with its shapes, velocities, damping, mass and
// body flags. Rigid-body components own theirs (vPhysXRigidBody::GetActor).
// Angles of velocities are radians per second, as in the physics SDK.
#pragma once

#include "engine/physics/NxShape.h"

#include <memory>
#include <vector>

class vPhysXObject;
struct NxActorImpl;

enum NxBodyFlag {
  NX_BF_DISABLE_GRAVITY = 1,
  // Gravity, forces and contacts leave z alone; a velocity set directly still moves
  // the body along z (how sinking ships go down).
  NX_BF_FROZEN_POS_Z = 8,
  NX_BF_KINEMATIC = 0x80,
};

enum NxForceMode {
  NX_FORCE = 0,            // for the next step
  NX_IMPULSE = 1,
  NX_VELOCITY_CHANGE = 2,  // independent of the mass
};

class VBASE_IMPEXP NxActor {
 public:
  ~NxActor();
  NxActor(const NxActor&) = delete;
  NxActor& operator=(const NxActor&) = delete;

  // Pose of the actor's frame. The set... calls teleport; the move... calls move a
  // kinematic actor there over the next physics step (others are teleported).
  VisVector_cl getGlobalPosition() const;
  VisMatrix3x3_cl getGlobalOrientation() const;
  void setGlobalPosition(const VisVector_cl& position);
  void setGlobalOrientation(const VisMatrix3x3_cl& rotation);
  void setGlobalPose(const VisVector_cl& position, const VisMatrix3x3_cl& rotation);
  void moveGlobalPosition(const VisVector_cl& position);
  void moveGlobalOrientation(const VisMatrix3x3_cl& rotation);
  void moveGlobalPose(const VisVector_cl& position, const VisMatrix3x3_cl& rotation);

  // Velocities; a kinematic actor ignores these (its moves give its velocity).
  void setLinearVelocity(const VisVector_cl& v);
  VisVector_cl getLinearVelocity() const;
  void setAngularVelocity(const VisVector_cl& v);
  VisVector_cl getAngularVelocity() const;
  // At the centre of mass, or at a world point (which also turns the actor).
  void addForce(const VisVector_cl& force, NxForceMode mode = NX_FORCE, bool wakeup = true);
  void addForceAtPos(const VisVector_cl& force, const VisVector_cl& position, NxForceMode mode = NX_FORCE,
                     bool wakeup = true);

  // Damping per second: a free actor keeps e^-(damping x t) of its velocity.
  void setLinearDamping(float damping);
  float getLinearDamping() const;
  void setAngularDamping(float damping);
  float getAngularDamping() const;
  // Mass above 0; a kinematic actor keeps it for when it turns dynamic again.
  void setMass(float mass);
  float getMass() const;
  // Mass from the shapes' volume times density, or totalMass when above 0. False for
  // values that give no positive mass.
  bool updateMassFromShapes(float density, float totalMass);

  void raiseBodyFlag(NxBodyFlag flag);
  void clearBodyFlag(NxBodyFlag flag);
  bool readBodyFlag(NxBodyFlag flag) const;
  bool isDynamic() const { return !readBodyFlag(NX_BF_KINEMATIC); }

  void setName(const char* name);
  const char* getName() const;
  void* userData = nullptr;

  // A resting actor falls asleep; any velocity, force or move wakes it.
  bool isSleeping() const;
  void wakeUp();
  // Sends a dynamic actor to sleep at once, velocities cleared (until something wakes it).
  void putToSleep();

  // The centre of mass in world space (the actor's position unless its shapes centre
  // the mass elsewhere, as those of free actors made by the physics module do).
  VisVector_cl getCMassGlobalPosition() const;

  // Solver passes for the joints of this actor (a joint takes the larger count of its
  // two actors); 0 (the default) leaves the world's 10. Counts above 255 are cut.
  void setSolverIterationCount(unsigned count);
  unsigned getSolverIterationCount() const;
  // The most angular speed (radians per second) the actor keeps after each tick;
  // 0 (the default) sets no bound. Negative or non-finite values are refused.
  void setMaxAngularVelocity(float maxSpeed);
  float getMaxAngularVelocity() const;

  int getNbShapes() const { return (int)m_shapes.size(); }
  NxShape* const* getShapes() const { return m_shapeList.data(); }
  NxShape* getShape(int i) const { return m_shapeList[i]; }
  // Adds a shape (a copy of the description); the actor's mass stays.
  NxShape* createShape(const NxShapeDesc& desc);

  // Collision filter (vPhysXObject::SetCollisionGroup / SetCollisionBitmask).
  void setCollisionGroup(int group);
  int getCollisionGroup() const;
  void setCollisionBitmask(unsigned mask);
  unsigned getCollisionBitmask() const;

  // The component the actor belongs to (null for a free actor).
  vPhysXObject* getPhysicsObject() const;

 private:
  friend class vPhysXScene;
  friend class NxShape;
  NxActor();
  std::unique_ptr<NxActorImpl> m_pImpl;
  std::vector<std::unique_ptr<NxShape>> m_shapes;
  std::vector<NxShape*> m_shapeList;
};
