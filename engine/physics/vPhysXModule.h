// The physics module the physics plug-in installs on the application: a rigid-body
// simulation over Bullet. VisionApp_cl::Run calls OnRunPhysics(frame time), which
// steps the world in fixed ticks, then FetchPhysicsResults, which writes every
// object's pose to its owner entity and delivers the frame's contacts; then
// OnPhysicsSimulationFinished fires. The world's terrain and static geometry
// (Vision::World) collide with the bodies. Same inputs give the same frames.
#pragma once

#include "engine/base/VisMath.h"

#include <cstdint>
#include <memory>
#include <vector>

class NxActor;
class NxD6Joint;
struct NxD6JointDesc;
struct NxShapeDesc;
class vPhysXObject;
class vPhysXScene;
class VisPhysicsRaycastBase_cl;

class VBASE_IMPEXP IVisPhysicsModule_cl {
 public:
  virtual ~IVisPhysicsModule_cl() = default;
  // Module type; 1 is the engine's built-in minimal module.
  virtual int GetType() const { return 2; }
  virtual void OnRunPhysics(float dt) {}
  virtual void FetchPhysicsResults() {}
};

class VBASE_IMPEXP vPhysXModule : public IVisPhysicsModule_cl {
 public:
  vPhysXModule();
  ~vPhysXModule() override;
  vPhysXModule(const vPhysXModule&) = delete;
  vPhysXModule& operator=(const vPhysXModule&) = delete;

  static vPhysXModule* GetInstance();  // null until the physics plug-in started
  // Objects attached while a module is installed are simulated by it.
  static void SetInstance(vPhysXModule* m);

  // Debug drawing of the bodies (drawing only).
  void SetDebugRendering(bool on) { m_debug = on; }
  bool GetDebugRendering() const { return m_debug; }
  // Fixed ticks: each frame runs as many ticks of 1/ticksPerSecond as the frame time
  // holds (the rest carries over), at most maxTicks (the time beyond is dropped).
  // ticksPerSecond 0 runs one tick of the frame time per frame.
  void SetPhysicsTickCount(int ticksPerSecond, int maxTicks);
  int GetPhysicsTickCount() const { return m_ticks; }
  int GetMaxTickCount() const { return m_maxTicks; }
  // Kept for the caller; the stepping is always the one above.
  void SetTimeStepMethod(int m) { m_stepMethod = m; }
  int GetTimeStepMethod() const { return m_stepMethod; }
  // Unnamed switches of the launcher's start-up, kept for the caller: the stand-in
  // always simulates synchronously inside the frame.
  void SetUseAsynchronousPhysics(bool on) { m_async = on; }
  bool GetUseAsynchronousPhysics() const { return m_async; }
  virtual void SetAlwaysSimulate(bool on) { m_alwaysSimulate = on; }
  bool GetAlwaysSimulate() const { return m_alwaysSimulate; }
  // (0, 0, -9.8) by default.
  void SetGlobalGravity(const VisVector_cl& g);
  const VisVector_cl& GetGlobalGravity() const { return m_gravity; }
  // Whether objects of the two groups (0..31) collide; all pairs do at first.
  void SetGroupCollisionFlag(int a, int b, bool on);
  bool GetGroupCollisionFlag(int a, int b) const;
  // Skin width: how deep touching shapes may sink into each other before the solver
  // pushes them apart (Bullet's allowed penetration, the solver's linear slop).
  // 0 by default; negative or non-finite values are refused (false).
  bool SetSkinWidth(float width);
  float GetSkinWidth() const { return m_fSkinWidth; }
  // Sleep energy: a dynamic body made afterwards falls asleep once its kinetic energy
  // per unit mass stays below it. Bullet compares speeds, so the energy E becomes a
  // linear threshold of sqrt(2E) and an angular one 1.25 times that (Bullet's own
  // proportion); the default 0.32 gives Bullet's defaults (0.8 and 1.0). Negative or
  // non-finite values are refused (false).
  bool SetSleepEnergy(float energy);
  float GetSleepEnergy() const { return m_fSleepEnergy; }

  void OnRunPhysics(float dt) override;
  void FetchPhysicsResults() override;
  // Ticks run by the last OnRunPhysics, and since the module was made.
  int GetLastTickCount() const { return m_lastTicks; }
  uint64_t GetTotalTickCount() const { return m_totalTicks; }

  // Casts the query's ray from vRayStart to vRayEnd against the bodies, controllers,
  // static geometry and terrain whose group the query's filter lets through, and
  // calls its OnHit once per thing met, nearest first, until OnHit returns false.
  // False when the ray met nothing it wants (VisPhysicsRaycastBase_cl::WantsHitOn) or
  // the query is null.
  bool PerformRaycast(VisPhysicsRaycastBase_cl* query);
  // PerformRaycast for each of several queries at the cost of little more than one;
  // each result as PerformRaycast would give it (results may be null).
  void PerformRaycasts(VisPhysicsRaycastBase_cl* const* queries, int count, bool* results = nullptr);

  // Simulated objects, oldest first.
  int GetObjectCount() const;
  vPhysXObject* GetObject(int i) const;

  // Free actors and joints (ragdolls). A dynamic actor of one shape at the pose, its
  // mass the shape's volume times the density (1 when that gives none) and centred
  // on the shape; it belongs to the owner (contacts, ray-cast hits, filter) without
  // moving it. Released with ReleaseActor (its joints go first) or with the module.
  NxActor* CreateDynamicActor(vPhysXObject* owner, const NxShapeDesc& shape, const VisVector_cl& position,
                              const VisMatrix3x3_cl& rotation, float density);
  void ReleaseActor(NxActor* actor);
  // A joint (NxJoint.h) between two actors of this module; null, logged, for an
  // invalid description.
  NxD6Joint* CreateD6Joint(const NxD6JointDesc& desc);
  void ReleaseJoint(NxD6Joint* joint);
  int GetJointCount() const;
  // Flags of a pair of actors (NxContactPairFlag), forgotten when either goes.
  void SetActorPairFlags(NxActor* a, NxActor* b, unsigned flags);
  unsigned GetActorPairFlags(NxActor* a, NxActor* b) const;

 private:
  friend class vPhysXObject;
  friend class vPhysXRigidBody;
  friend class vPhysXCharacterController;
  friend class vPhysXScene;
  vPhysXScene& GetScene();
  void Register(vPhysXObject* obj);
  void Unregister(vPhysXObject* obj);

  bool m_debug = false, m_async = false, m_alwaysSimulate = true;
  int m_ticks = 60, m_maxTicks = 5, m_stepMethod = 0;
  VisVector_cl m_gravity{0, 0, -9.8f};
  bool m_groupFlags[32][32] = {};  // true: the pair does not collide
  float m_fSkinWidth = 0.0f;
  float m_fSleepEnergy = 0.32f;
  double m_accumulator = 0.0;
  int m_lastTicks = 0;
  uint64_t m_totalTicks = 0;
  uint64_t m_nextSerial = 1;
  std::unique_ptr<vPhysXScene> m_pScene;
};

// The physics SDK's parameters by their numbers in its enumeration, applied to the
// installed module: 1 (skin width) and 77 (default sleep energy) reach the
// simulation (vPhysXModule::SetSkinWidth, SetSleepEnergy). Any other number, and a
// value the module refuses, is refused: false and a log line naming the parameter
// (29, drawing of joint limits, has nothing to draw in the stand-in).
class VBASE_IMPEXP NxPhysicsSDK {
 public:
  enum Parameter { SKIN_WIDTH = 1, VISUALIZE_JOINT_LIMITS = 29, DEFAULT_SLEEP_ENERGY = 77 };
  bool setParameter(int param, float value);
  // The value in effect; 0 for a parameter the stand-in does not have.
  float getParameter(int param) const;
};
VBASE_IMPEXP extern NxPhysicsSDK* gPhysicsSDK;
