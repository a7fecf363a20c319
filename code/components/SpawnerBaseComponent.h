// Puts soldiers into a land battle: once triggered (a noise of another nation, a
// script, a trigger box) and enabled, it spawns one soldier at a time, every few
// seconds, into a unit it made with room or a new unit from one of its templates,
// and sends him walking. The guard post, the prison and the recruiting building
// derive from it.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class SoldierEntity;
class UnitEntity;
class UnitEntityTemplate;
class VArchive;

class SpawnerBaseComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(SpawnerBaseComponent)
 public:
  // Message of a heard noise (p1 the listener's noise record).
  static constexpr int MSG_NOISE_HEARD = 300;
  // Longest script and spawner names a saved block may hold.
  static constexpr int MAX_NAME_LENGTH = 260;
  // Most templates or spawned records a saved block may hold.
  static constexpr int MAX_SAVED_RECORDS = 1000;

  SpawnerBaseComponent();
  ~SpawnerBaseComponent() override;

  // Entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // InitFunction with an owner, DeInitFunction without.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 300: a noise of another nation, louder than 0, triggers spawning towards it.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // "ARCH", version 3 (see the cpp), "EOA", then the component's own data.
  void Serialize(VArchive& ar) override;
  // The block alone; false when it does not check out (nothing applied).
  bool SerializeX(VArchive& ar);

  virtual void Update();
  // Listens to the frame and to removed units; in the running game loads the
  // spawner script (unless one is attached) and runs its "OnCreate".
  virtual void InitFunction();
  virtual void DeInitFunction();
  virtual void DebugPrint();
  virtual bool IsEnabled() const { return m_bEnabled != 0; }
  virtual void SetEnabled(int enabled) { m_bEnabled = enabled; }
  // Requested, enabled, and spawning towards p ((0, 0, 0): no trigger position).
  virtual void TriggerSpawning(const VisVector_cl& p);
  virtual void TriggerSpawning();
  virtual float GetSpawnWaitTime() const { return m_fSpawnWaitTime; }
  virtual void SetSpawnWaitTime(float seconds) { m_fSpawnWaitTime = seconds; }
  virtual float GetSpawnWaitTimeRandom() const { return m_fSpawnWaitTimeRandom; }
  virtual void SetSpawnWaitTimeRandom(float seconds) { m_fSpawnWaitTimeRandom = seconds; }
  virtual int GetSoldierCount() const { return m_iSoldierCount; }
  virtual void SetSoldierCount(int count) { m_iSoldierCount = count; }
  // Takes ownership.
  virtual void AddUnit(UnitEntityTemplate* templ);
  // Null beyond the list.
  virtual UnitEntityTemplate* GetTemplate(unsigned index) const;
  virtual void ClearUnits();
  virtual void ClearSpawnedUnits();
  virtual void OnFrameTime(float) {}
  virtual void Spawn();

  bool IsSpawnRequested() const { return m_bSpawnRequested != 0; }
  float GetSpawnTimer() const { return m_fSpawnTimer; }
  const VisVector_cl& GetTriggerPosition() const { return m_vTriggerPosition; }
  const VString& GetSpawnerName() const { return m_sSpawnerName; }
  void SetSpawnerName(const char* name) { m_sSpawnerName = name ? name : ""; }
  int GetTemplateCount() const { return (int)m_templates.size(); }
  int GetSpawnedUnitCount() const { return (int)m_spawned.size(); }
  UnitEntityTemplate* GetSpawnedUnit(int i) const { return m_spawned[i]; }
  const VString& GetScriptFile() const { return m_sScriptFile; }
  void SetScriptFile(const char* file) { m_sScriptFile = file ? file : ""; }
  const VisVector_cl& GetSpawnOffset() const { return m_vSpawnOffset; }
  void SetSpawnOffset(const VisVector_cl& v) { m_vSpawnOffset = v; }
  const VisVector_cl& GetWalkTargetOffset() const { return m_vWalkTargetOffset; }
  void SetWalkTargetOffset(const VisVector_cl& v) { m_vWalkTargetOffset = v; }
  // The soldier the last spawn placed (null when it placed none).
  SoldierEntity* GetLastSpawnedSoldier() const { return m_pLastSpawned; }

  // The player's nation number (1 without a player).
  static int GetPlayerNationNumber();
  // The unit in the scene with that unique id; null for 0 or none.
  static UnitEntity* FindUnit(int64_t uniqueId);
  // Whether a unit may take another soldier.
  static bool HasRoom(const UnitEntity* unit);
  // Uniform in [lo, hi], both ends included.
  static float Uniform(float lo, float hi);

 protected:
  static void BuildVarList(VARTABLE& t);
  // The template to spawn from: random, or in the fixed test mode the first (the
  // last with the return-maximum switch). Null without templates.
  UnitEntityTemplate* ChooseTemplate() const;
  // A new unit from the template at the position, with the next unique id, recorded
  // in the spawned list and saved with the scene. Null when it cannot be made.
  UnitEntity* CreateUnit(const UnitEntityTemplate& templ, const VisVector_cl& position);
  // Puts the soldier at the position with a small random yaw (through his physics
  // object when he has one).
  static void PlaceSoldier(SoldierEntity* soldier, const VisVector_cl& position);
  // The owner's pose: position + rotation x local.
  VisVector_cl OwnerPoint(const VisVector_cl& local) const;
  bool HasTriggerPosition() const;
  bool IsGameRunning() const;

  int m_bSpawnRequested = 0;
  std::vector<UnitEntityTemplate*> m_templates;
  std::vector<UnitEntityTemplate*> m_spawned;
  VisVector_cl m_vTriggerPosition{0, 0, 0, 1};
  VisVector_cl m_vSpawnOffset{0, 0, 0};
  VisVector_cl m_vWalkTargetOffset{0, 0, 0};
  VString m_sSpawnerName;
  int m_iSoldierCount = 4;
  VString m_sScriptFile;
  float m_fSpawnTimer = 0.5f;
  float m_fSpawnWaitTime = 4.0f;
  float m_fSpawnWaitTimeRandom = 1.0f;
  int m_bEnabled = 0;
  int m_bDebugPrint = 0;
  SoldierEntity* m_pLastSpawned = nullptr;

 private:
  bool m_bListening = false;
};
