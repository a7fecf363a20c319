// The physics module the physics plug-in installs on the application. For now it
// keeps its settings; simulation comes with the physics stand-in.
#pragma once

#include "engine/base/VisMath.h"

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
  static vPhysXModule* GetInstance();  // null until the physics plug-in started
  static void SetInstance(vPhysXModule* m);

  void SetDebugRendering(bool on) { m_debug = on; }
  bool GetDebugRendering() const { return m_debug; }
  void SetPhysicsTickCount(int ticksPerSecond, int maxTicks) { m_ticks = ticksPerSecond; m_maxTicks = maxTicks; }
  int GetPhysicsTickCount() const { return m_ticks; }
  int GetMaxTickCount() const { return m_maxTicks; }
  void SetTimeStepMethod(int m) { m_stepMethod = m; }
  int GetTimeStepMethod() const { return m_stepMethod; }
  // Unnamed switches of the launcher's start-up.
  void SetUseAsynchronousPhysics(bool on) { m_async = on; }
  bool GetUseAsynchronousPhysics() const { return m_async; }
  virtual void SetAlwaysSimulate(bool on) { m_alwaysSimulate = on; }
  bool GetAlwaysSimulate() const { return m_alwaysSimulate; }
  void SetGlobalGravity(const VisVector_cl& g) { m_gravity = g; }
  const VisVector_cl& GetGlobalGravity() const { return m_gravity; }
  void SetGroupCollisionFlag(int a, int b, bool on);
  bool GetGroupCollisionFlag(int a, int b) const;

 private:
  bool m_debug = false, m_async = false, m_alwaysSimulate = true;
  int m_ticks = 60, m_maxTicks = 5, m_stepMethod = 0;
  VisVector_cl m_gravity{0, 0, -9.8f};
  bool m_groupFlags[32][32] = {};
};

// The SDK parameters the launcher sets (numbers of the physics SDK's enumeration).
class VBASE_IMPEXP NxPhysicsSDK {
 public:
  bool setParameter(int param, float value);
  float getParameter(int param) const;

 private:
  float m_params[128] = {};
};
VBASE_IMPEXP extern NxPhysicsSDK* gPhysicsSDK;
