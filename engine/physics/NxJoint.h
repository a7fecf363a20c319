// Joints between two physics actors (ragdolls): the six-degree-of-freedom joint with
// its description, and the actor-pair flags that switch collisions between two actors
// off. Made and released through the physics module (vPhysXModule::CreateD6Joint,
// ReleaseJoint); releasing an actor releases its joints first.
//
// The joint frame: x is the joint axis (twist turns about it), z the normal (swing 1
// turns about it) and y = normal x axis (swing 2 turns about it). Angles are radians.
// Each actor carries the frame in its own space (local anchor, axis and normal).
// Swing 2 stays below a quarter turn: beyond it the three angles lose their meaning.
#pragma once

#include "engine/base/VisMath.h"

class NxActor;
struct NxD6JointImpl;

enum NxD6JointMotion {
  NX_D6JOINT_MOTION_LOCKED = 0,
  NX_D6JOINT_MOTION_LIMITED = 1,
  NX_D6JOINT_MOTION_FREE = 2,
};

// Actor-pair flags (vPhysXModule::SetActorPairFlags).
enum NxContactPairFlag {
  NX_IGNORE_PAIR = 1,  // the two actors never collide
};

// One limit: its value and how it gives (restitution 0..1; spring and damping 0 make
// it hard).
struct NxJointLimitSoftDesc {
  float value = 0.0f;
  float restitution = 0.0f;
  float spring = 0.0f;
  float damping = 0.0f;
};

struct NxJointLimitSoftPairDesc {
  NxJointLimitSoftDesc low, high;
};

struct VBASE_IMPEXP NxD6JointDesc {
  NxActor* actor[2] = {nullptr, nullptr};
  VisVector_cl localAnchor[2] = {VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)};
  VisVector_cl localAxis[2] = {VisVector_cl(1, 0, 0), VisVector_cl(1, 0, 0)};
  VisVector_cl localNormal[2] = {VisVector_cl(0, 0, 1), VisVector_cl(0, 0, 1)};
  // Linear motion along the frame's axes: free, or else locked (the stand-in has no
  // linear limit distance, so limited counts as locked).
  NxD6JointMotion xMotion = NX_D6JOINT_MOTION_LOCKED;
  NxD6JointMotion yMotion = NX_D6JOINT_MOTION_LOCKED;
  NxD6JointMotion zMotion = NX_D6JOINT_MOTION_LOCKED;
  NxD6JointMotion swing1Motion = NX_D6JOINT_MOTION_FREE;
  NxD6JointMotion swing2Motion = NX_D6JOINT_MOTION_FREE;
  NxD6JointMotion twistMotion = NX_D6JOINT_MOTION_FREE;
  // Swings turn between -value and +value; the twist between low and high.
  NxJointLimitSoftDesc swing1Limit;
  NxJointLimitSoftDesc swing2Limit;
  NxJointLimitSoftPairDesc twistLimit;

  // Anchor and axis given in world space, turned into each actor's space from the
  // actors' current poses (set the actors first). The normal is made perpendicular to
  // the axis: the world z axis projected, or the world x axis when the axis is near z.
  void setGlobalAnchor(const VisVector_cl& anchor);
  void setGlobalAxis(const VisVector_cl& axis);
  // A world normal instead of the one setGlobalAxis chose, made perpendicular to the
  // axis (ignored when it runs along the axis).
  void setGlobalNormal(const VisVector_cl& normal);
  // Two actors, different and both given, and an axis and normal that are not zero.
  bool isValid() const;
};

class VBASE_IMPEXP NxD6Joint {
 public:
  ~NxD6Joint();
  NxD6Joint(const NxD6Joint&) = delete;
  NxD6Joint& operator=(const NxD6Joint&) = delete;

  NxActor* getActor(int i) const { return m_desc.actor[i & 1]; }
  // The description it was made from (the limits, motions and frames).
  void saveToDesc(NxD6JointDesc& out) const { out = m_desc; }
  // Current angles of the second actor's frame against the first's: 0 twist,
  // 1 swing 1, 2 swing 2.
  float getAngle(int which) const;
  // Distance between the two anchors in world space (0 while the joint holds).
  float getAnchorSeparation() const;

 private:
  friend class vPhysXScene;
  NxD6Joint();
  NxD6JointDesc m_desc;
  NxD6JointImpl* m_pImpl = nullptr;
};
