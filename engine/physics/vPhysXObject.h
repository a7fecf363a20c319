// Base of the physics plug-in's physics-object components (rigid body, character
// controller): an owner entity moved by the simulation, a collision group and
// bitmask, a physics mode. Attached to an entity it becomes the entity's physics
// object (VisBaseEntity_cl::GetPhysicsObject); after every physics step the physics
// module writes its pose to the owner and sends contacts to the owner as message
// VIS_MSG_PHYSICS_CONTACT (see vPhysXContactRecord.h).
//
// Collision filter: two objects collide when their bitmasks share a bit and the
// module lets their groups (0..31) collide (vPhysXModule::SetGroupCollisionFlag).
// Bitmask 0 collides with nothing; static geometry and terrain have all bits.
//
// While simulated, the body decides where the owner is: move the owner through its
// physics object (SetPosition, IncMotionDelta), since the next write-back puts the
// owner back where its body is. Without a physics module (or before it has an owner)
// an object keeps its settings and the pose calls act on the owner directly.
#pragma once

#include "engine/core/IVisPhysicsObject.h"

#include <cstdint>

class NxActor;
class VisBaseEntity_cl;
class vPhysXModule;

enum vPhysXPhysicsMode_e {
  VPHYSX_MODE_DYNAMIC = 0,
  VPHYSX_MODE_KINEMATIC = 2,
};

class VBASE_IMPEXP vPhysXObject : public IVisPhysicsObject_cl {
  V_DECLARE_DYNAMIC(vPhysXObject)
 public:
  vPhysXObject();
  ~vPhysXObject() override;

  // Entities only. Attaching makes the physics (when a module is installed) and
  // becomes the entity's physics object; null detaches and releases the physics.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  VisBaseEntity_cl* GetOwnerEntity() const;

  // The owner's pose and velocity (this base moves the owner directly).
  void SetPosition(const VisVector_cl& position) override;
  VisVector_cl GetPosition() const override;
  void SetRotation(const VisVector_cl& yawPitchRoll) override;
  VisVector_cl GetRotation() const override;
  void SetRotationMatrix(const VisMatrix3x3_cl& rotation) override;
  VisMatrix3x3_cl GetRotationMatrix() const override;
  void SetVelocity(const VisVector_cl& velocity) override;
  VisVector_cl GetVelocity() const override;
  void IncMotionDelta(const VisVector_cl& delta) override;
  // Radians per second.
  virtual void SetAngularVelocity(const VisVector_cl& velocity);
  virtual VisVector_cl GetAngularVelocity() const;

  // vPhysXPhysicsMode_e; other values are refused (logged).
  virtual void SetPhysicsMode(int mode);
  int GetPhysicsMode() const { return m_iPhysicsMode; }
  virtual void SetCollisionBitmask(unsigned mask);
  unsigned GetCollisionBitmask() const { return m_iCollisionBitmask; }
  // 0..31; other values are refused (logged).
  virtual void SetCollisionGroup(int group);
  int GetCollisionGroup() const { return m_iCollisionGroup; }

  // The simulated actor (null for a controller and while nothing is simulated).
  virtual NxActor* GetActor() const { return nullptr; }
  // True while the object is part of a physics module's simulation.
  bool IsSimulated() const { return m_pModule != nullptr; }
  vPhysXModule* GetModule() const { return m_pModule; }
  // Creation order (older objects come first in contact records).
  uint64_t GetSerial() const { return m_iSerial; }

  // Component data, then version, physics mode, group and bitmask.
  void Serialize(VArchive& ar) override;

 protected:
  friend class vPhysXModule;
  friend class vPhysXScene;
  // Hooks of the physics module (all on the main thread, in this order per frame).
  // Creates or releases the simulated body; the module is set while it exists.
  virtual void CreatePhysics() {}
  virtual void DestroyPhysics() {}
  // Start of a frame with this many ticks (0: the pending motion stays pending).
  virtual void BeginFrame(int ticks, float tickTime) {}
  // Before each tick (0..ticks-1).
  virtual void BeforeTick(int tick, int ticks, float tickTime) {}
  // After the frame's ticks: the pose goes to the owner.
  virtual void WriteBackPose() {}
  // Whether the owner gets contact messages for this object.
  virtual bool WantsContactReports() const { return true; }
  // The owner's own motion delta goes to the physics instead of being added to the
  // position by the engine (rigid bodies and controllers take it).
  virtual bool TakesOwnerMotion() const { return false; }
  // Releases the physics and leaves the module. Derived destructors call it, since
  // DestroyPhysics cannot reach them from the base destructor.
  void ReleaseFromModule();
  // Gives an actor of this object (made through the module) the object's group and
  // bitmask.
  void ApplyFilterToActor(NxActor* actor);

  vPhysXModule* m_pModule = nullptr;
  uint64_t m_iSerial = 0;
  int m_iPhysicsMode = VPHYSX_MODE_DYNAMIC;
  unsigned m_iCollisionBitmask = 0xffffffff;
  int m_iCollisionGroup = 0;
  VisVector_cl m_vVelocity{0, 0, 0};
  VisVector_cl m_vAngularVelocity{0, 0, 0};
};
