// A rigid body on an entity: one simulated actor (dynamic or kinematic) whose pose
// the owner follows. The body is made when the component gets an owner while a
// physics module is installed; changing mass, shape or box afterwards rebuilds it.
#pragma once

#include "engine/physics/vPhysXObject.h"

// Shape kinds. A box of GetBoxSize() centred at GetLocalOffset() in the owner's
// frame; or (convex, cooked) a box: the owner's model bounding box scaled by the
// owner's scaling (our models carry only that box), 1 x 1 x 1 without a model box.
enum vPhysXShapeType_e {
  VPHYSX_SHAPETYPE_BOX = 0,
  VPHYSX_SHAPETYPE_CONVEX = 3,
  VPHYSX_SHAPETYPE_COOKED = 4,
};

class VBASE_IMPEXP vPhysXRigidBody : public vPhysXObject {
  V_DECLARE_DYNCREATE(vPhysXRigidBody)
 public:
  vPhysXRigidBody();
  ~vPhysXRigidBody() override;

  // Back to the constructor's settings (mass 1, box, dynamic, contact reports on,
  // box size (50, 10, 11), offset (0, 0, 1)); a built actor is rebuilt.
  void Initialize() override;

  void SetMass(float mass);
  float GetMass() const { return m_fMass; }
  void SetShapeType(int type);  // vPhysXShapeType_e; other values are refused (logged)
  int GetShapeType() const { return m_iShapeType; }
  void SetBoxSize(const VisVector_cl& size);  // full extents
  const VisVector_cl& GetBoxSize() const { return m_vBoxSize; }
  void SetLocalOffset(const VisVector_cl& offset);
  const VisVector_cl& GetLocalOffset() const { return m_vLocalOffset; }
  // 0: the owner gets no contact messages for this body; any other value: it does
  // (2 after construction).
  void SetContactReport(int value) { m_iContactReport = value; }
  int GetContactReport() const { return m_iContactReport; }

  void SetPhysicsMode(int mode) override;
  void SetCollisionBitmask(unsigned mask) override;
  void SetCollisionGroup(int group) override;

  // Owner pose: the actor sits at position + rotation x offset (box shape only).
  // Before the body exists a pose set here is kept and given to the owner on attach.
  void SetPosition(const VisVector_cl& position) override;
  VisVector_cl GetPosition() const override;
  void SetRotationMatrix(const VisMatrix3x3_cl& rotation) override;
  VisMatrix3x3_cl GetRotationMatrix() const override;
  void SetPose(const VisVector_cl& position, const VisMatrix3x3_cl& rotation);
  // Dynamic: the body is shifted by the summed delta before the next tick (keeping
  // its velocity). Kinematic: it moves there over the next tick(s).
  void IncMotionDelta(const VisVector_cl& delta) override;
  void SetVelocity(const VisVector_cl& velocity) override;
  VisVector_cl GetVelocity() const override;
  void SetAngularVelocity(const VisVector_cl& velocity) override;
  VisVector_cl GetAngularVelocity() const override;

  NxActor* GetActor() const override { return m_pActor; }
  // Makes the actor again from the settings and the owner's current pose (velocities
  // are kept; shapes added with createShape are dropped).
  void RebuildActor();

  // Component data, then version, mass, shape type, mode, contact report, group,
  // bitmask, box size and offset. A stored body has no owner; it reads back with the
  // component factory (VArchive object references).
  void Serialize(VArchive& ar) override;

 protected:
  void CreatePhysics() override;
  void DestroyPhysics() override;
  void BeginFrame(int ticks, float tickTime) override;
  void WriteBackPose() override;
  bool WantsContactReports() const override { return m_iContactReport != 0; }
  bool TakesOwnerMotion() const override { return true; }

 private:
  VisVector_cl ActorOffset() const;
  void WritePoseToOwner(const VisVector_cl& position, const VisMatrix3x3_cl& rotation);

  float m_fMass = 1.0f;
  int m_iShapeType = VPHYSX_SHAPETYPE_BOX;
  int m_iContactReport = 2;
  VisVector_cl m_vBoxSize{50.0f, 10.0f, 11.0f};
  VisVector_cl m_vLocalOffset{0.0f, 0.0f, 1.0f};
  NxActor* m_pActor = nullptr;
  // Pose given before the body existed.
  bool m_bHasPendingPose = false;
  VisVector_cl m_vPendingPosition{0, 0, 0};
  VisMatrix3x3_cl m_mPendingRotation;
  // Motion requested since the last tick, and the kinematic move being made.
  VisVector_cl m_vMotionDelta{0, 0, 0};
  bool m_bMoving = false;
  VisVector_cl m_vMoveFrom{0, 0, 0}, m_vMoveTo{0, 0, 0};
};
