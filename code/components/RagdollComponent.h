// The physics ragdoll of a dead or stunned soldier. Attached to an entity whose
// skeleton carries the standard "Bip01" biped bones (and while a physics module is
// installed), it builds eleven bodies at the bones' current world poses, links them
// with ten limited joints and from then on copies the bodies' poses onto the
// skeleton every frame. It ends itself: once all its bodies sleep, or when its
// lifetime runs out, it queues its own removal from the owner.
//
// The ragdoll does not become the owner's physics object: an object the owner still
// has (normally gone before, as with a killed soldier) stops colliding while the
// ragdoll lives and gets its bitmask back afterwards.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXObject.h"

#include <vector>

class NxD6Joint;

class RagdollComponent : public vPhysXObject, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(RagdollComponent)
 public:
  // The push modes of the physics actors, under the names callers use.
  static constexpr NxForceMode NX_FORCE = ::NX_FORCE;
  static constexpr NxForceMode NX_IMPULSE = ::NX_IMPULSE;
  static constexpr NxForceMode NX_VELOCITY_CHANGE = ::NX_VELOCITY_CHANGE;
  static constexpr float DEFAULT_LIFETIME = 10.0f;

  // The bodies callers may pick; other values pick none.
  enum Bones {
    BONE_HEAD = 0,
    BONE_LEFT_FOREARM = 1,
    BONE_RIGHT_FOREARM = 2,
    BONE_CHEST = 3,
    BONE_LEFT_CALF = 4,
    BONE_RIGHT_CALF = 5,
  };

  // The two actor settings of the build: the chest's most angular speed (radians per
  // second) and every body's solver passes for its joints.
  static constexpr float CHEST_MAX_ANGULAR_VELOCITY = 130.0f;
  static constexpr unsigned BODY_SOLVER_ITERATIONS = 10;

  RagdollComponent();
  ~RagdollComponent() override;

  // BaseEntity owners only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Builds the ragdoll with an owner; de-initialises without one.
  void SetOwner(VisTypedEngineObject_cl* owner) override;

  // True once the build succeeded.
  bool IsInitialized() const { return m_bActive; }
  bool IsActive() const { return m_bActive; }

  // Pushes the body whose centre of mass is nearest to the position (the first one
  // on a tie; a random one when none is nearer than 1e11 squared), waking it up.
  // Only while active.
  void AddForce(const VisVector_cl& position, const VisVector_cl& force, NxForceMode mode);
  // Linear velocity of every body, or of the body of one bone.
  void SetVelocity(const VisVector_cl& velocity) override;
  void SetBoneVelocity(Bones bone, const VisVector_cl& velocity);
  NxActor* GetBoneActor(Bones bone) const;
  // Group (0..31) and bitmask of every shape of every body, kept for bodies made later.
  void SetCollisionGroup(int group) override;
  void SetCollisionBitmask(unsigned mask) override;
  void SetCollisionMask(unsigned mask) { SetCollisionBitmask(mask); }

  // Seconds until the ragdoll ends itself; 0 or less: no time limit, only sleep ends it.
  void SetLifeTime(float seconds) { m_fLifeTime = seconds; }
  void SetSleepTime(float seconds) { SetLifeTime(seconds); }
  float GetLifeTime() const { return m_fLifeTime; }
  void SetFollowLegs(bool follow) { m_bFollowLegs = follow; }
  void SetUpdateOwnerPosition(bool follow) { SetFollowLegs(follow); }
  bool GetFollowLegs() const { return m_bFollowLegs; }
  // A fallen soldier's bodies tell their owner nothing; a thrown body whose owner
  // reacts to what it lands on (the human cannon ball) asks for contact messages.
  void SetContactReport(bool report) { m_bContactReport = report; }
  bool GetContactReport() const { return m_bContactReport; }

  // Every body made, in creation order, and the joints.
  int GetActorCount() const { return (int)m_actors.size(); }
  NxActor* GetActor(int i) const { return m_actors[i]; }
  int GetJointCount() const;
  // Joints in build order: neck, spine, left shoulder, left elbow, right shoulder,
  // right elbow, left hip, left knee, right hip, right knee (null when not made).
  NxD6Joint* GetJoint(int i) const { return i >= 0 && i < MAX_JOINTS ? m_joints[i] : nullptr; }
  // The bones' extent of the last update, in the owner's unscaled local space.
  const VisBoundingBox_cl& GetBounds() const { return m_bounds; }

  // The per-frame update (scene update callback).
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  static constexpr int MAX_JOINTS = 14;

 protected:
  void CreatePhysics() override;
  void DestroyPhysics() override;
  bool WantsContactReports() const override { return m_bContactReport; }

 private:
  // One record per bone of the biped.
  enum Record {
    REC_ROOT,
    REC_PELVIS,
    REC_CHEST,
    REC_HEAD,
    REC_L_UPPERARM,
    REC_L_FOREARM,
    REC_L_HAND,
    REC_R_UPPERARM,
    REC_R_FOREARM,
    REC_R_HAND,
    REC_L_THIGH,
    REC_L_CALF,
    REC_L_FOOT,
    REC_R_THIGH,
    REC_R_CALF,
    REC_R_FOOT,
    REC_COUNT
  };
  struct BoneRecord {
    NxActor* actor = nullptr;
    int boneIndex = -1;
    VisVector_cl position;    // world pose read at the build
    VisMatrix3x3_cl rotation;
    VisVector_cl direction{0, 0, -1};  // the body's long axis in the world at the build
  };

  void Build();
  void DeInit();
  void ReadBone(Record record, const char* name);
  void MakeBody(Record record, const NxShapeDesc& shape, float density);
  void MakeJoint(int slot, Record a, Record b, const VisVector_cl& axis, float swing1, float swing2,
                 float twistLow, float twistHigh, int motions);
  // Steps 1 to 4 of the update: owner between the calves, bones, bounds.
  void CopyPoses();
  void Update(float dt);
  void RestoreReplacedObject();

  bool m_bActive = false;
  VisBoundingBox_cl m_bounds;
  std::vector<NxActor*> m_actors;
  BoneRecord m_records[REC_COUNT];
  NxD6Joint* m_joints[MAX_JOINTS] = {};
  float m_fLifeTime = DEFAULT_LIFETIME;
  bool m_bFollowLegs = true;
  bool m_bContactReport = false;
  float m_fScale = 1.0f;
  VisVector_cl m_vLateral{1, 0, 0};  // from the right side of the body to the left
  // The owner's physics object switched off by the build, and its bitmask.
  vPhysXObject* m_pReplaced = nullptr;
  uint64_t m_iReplacedSerial = 0;
  unsigned m_iReplacedMask = 0;
  bool m_bRegistered = false;
};
