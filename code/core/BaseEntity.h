// Base of the game's world objects: nation, save flag, separate trace accuracies
// for mouse picking and collisions, a mesh streamed in and out by distance, the
// entity's script values by name, deferred component removal and the health bar.
#pragma once

#include "core/VModelProxy.h"

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"
#include "engine/core/VisBaseEntity.h"

#include <set>
#include <vector>

class IVObjectComponent;

class BaseEntity : public VisBaseEntity_cl, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(BaseEntity)
 public:
  // Distance beyond which a streamed mesh may go, unless changed.
  static constexpr float DEFAULT_FAR_DISTANCE = 1000.0f;

  // Announces the entity on GameManager::Callbacks.OnEntityCreated and registers it
  // for the per-frame update.
  BaseEntity();
  ~BaseEntity() override;

  void InitFunction() override;
  // The engine entity's data, then the block "ARCH", version 3, save, nation,
  // collision accuracy, click accuracy, can trace (int32 each), "EOA".
  void Serialize(VArchive& ar) override;
  // Per frame: UpdateMesh, then the queued component removals. Around the mouse pick
  // trace: the click accuracy, then the collision accuracy again.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Values arriving for the accuracy variables are list positions (4 becomes 7).
  void OnVariableValueChanged(VisVariable_cl* var, const char* value) override;

  // Mesh streaming.
  // Loads the mesh at once (logging each step).
  virtual void EnsureMeshLoaded();
  virtual void SetCanUnloadMesh(int canUnload) { m_bCanUnloadMesh = canUnload; }
  // Names the mesh to stream; keep makes its model stay loaded while unused.
  virtual void SetMeshFilename(const char* name, bool keep = false);
  // Streams the mesh in within the far distance of the main camera, and out beyond
  // 1.2 times it when unloading is allowed.
  virtual void UpdateMesh();

  virtual int GetNation() const { return m_iNation; }
  virtual void SetNation(int nation) { m_iNation = nation; }
  virtual void SetSave(int save) { m_bSave = save; }
  virtual int GetSave() const { return m_bSave; }
  virtual int CanTrace() const { return m_bCanTrace; }
  virtual void SetCanTrace(int canTrace) { m_bCanTrace = canTrace; }
  virtual VisTraceAccuracy_e GetCollisionTraceAccuracy() const { return m_eCollisionTraceAccuracy; }
  virtual VisTraceAccuracy_e GetClickTraceAccuracy() const { return m_eClickTraceAccuracy; }
  // Both take the engine value or its list position (4 becomes 7), and update the
  // mouse-trace registration: listening only while the two accuracies differ.
  virtual void SetCollisionTraceAccuracy(VisTraceAccuracy_e accuracy);
  virtual void SetClickTraceAccuracy(VisTraceAccuracy_e accuracy);
  // Creates the health bar on first use (when the entity takes one) and shows it.
  virtual void ShowHealthBar(float seconds);
  virtual void HideHealthBar();
  // 0: the save game writes the whole entity; 1: it recreates the entity from a record.
  virtual int GetSerializeType() const { return 0; }

  // The accuracy for a list position of "VIS_TRACEACC_NOCOLLISION, AABOX, OBOX,
  // SPHERE, POLYGONS": 4 is the engine's 7 (polygons); other values up to 7 stay,
  // and values outside 0 to 7 give no collision.
  static VisTraceAccuracy_e TraceAccuracyFromListPosition(int position);

  void SetFarDistance(float distance) { m_fFarDistance = distance; }
  float GetFarDistance() const { return m_fFarDistance; }
  int GetCanUnloadMesh() const { return m_bCanUnloadMesh; }
  const char* GetMeshFilename() const { return m_sMeshFilename.AsChar(); }
  VModelProxy* GetModelProxy() const { return m_spModelProxy.GetPtr(); }

  // Removes the component from the entity in the next per-frame update (once, however
  // often it is queued) and disposes of it.
  void RemoveComponentDeferred(IVObjectComponent* component);
  // A component that leaves by another way is no longer due for removal.
  void OnComponentRemoved(IVObjectComponent* component) override;
  int GetPendingRemovalCount() const { return (int)m_componentsToRemove.size(); }

  // Values of the entity's script by name. False without a script (or without its
  // Lua state); a read also fails, leaving out alone, when the value is of another type.
  bool SetScriptValue(const char* name, int value);
  bool SetScriptValue(const char* name, const VString& value);
  bool SetScriptValue(const char* name, const char* value);
  bool SetScriptValue(const char* name, float value);
  bool SetScriptValue(const char* name, const VisVector_cl& value);
  bool SetScriptValue(const char* name, bool value);
  bool GetScriptValue(const char* name, VString& out);
  bool GetScriptValue(const char* name, int& out);
  bool GetScriptValue(const char* name, float& out);
  bool GetScriptValue(const char* name, VisVector_cl& out);
  bool GetScriptValue(const char* name, bool& out);

  // Whether the entity listens to the mouse pick trace.
  bool IsRegisteredForMouseTrace() const;

 protected:
  // m_bSave, m_iNation, m_eCollisionTraceAccuracy, m_eClickTraceAccuracy.
  static void BuildVarList(VARTABLE& t);
  // Listens to the mouse pick trace only while the two accuracies differ.
  void UpdateMouseTraceRegistration();
  // Whether the current mesh was loaded from this very name.
  bool IsCurrentMesh(const char* name) const;
  void SetProxy(VModelProxy* proxy);

  // Editor variables.
  int m_iNation = 0;
  VisTraceAccuracy_e m_eCollisionTraceAccuracy = VIS_TRACEACC_NOCOLLISION;
  VisTraceAccuracy_e m_eClickTraceAccuracy = VIS_TRACEACC_NOCOLLISION;
  int m_bSave = 0;

  float m_fFarDistance = DEFAULT_FAR_DISTANCE;
  VString m_sMeshFilename;
  VSmartPtr<VModelProxy> m_spModelProxy;
  int m_bCanUnloadMesh = 0;
  int m_bCanTrace = 1;
  // In the order asked, so that removal does not follow memory addresses.
  std::vector<IVObjectComponent*> m_componentsToRemove;
};
