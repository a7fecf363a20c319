// The engine's entity: a 3-D object with a model, think functions, flags and a
// 64-bit unique id, living in the world of Vision::Game.
#pragma once

#include "engine/core/VisSurfaceTextureSet.h"
#include "engine/core/VisTypedEngineObject.h"

class VDynamicMesh;
class VisAnimConfig_cl;
class IVisPhysicsObject_cl;
class VisZoneResource_cl;

enum VisTraceAccuracy_e {
  VIS_TRACEACC_NOCOLLISION = 0,
  VIS_TRACEACC_AABOX = 1,
  VIS_TRACEACC_OBOX = 2,
  VIS_TRACEACC_SPHERE = 3,
  VIS_TRACEACC_POLYGONS = 7,
};

// An entity joins Vision::Game when constructed. Remove() marks it; the engine calls
// DeInitFunction and deletes it in VisGame_cl::FreeRemovedEntities at the frame end.
class VBASE_IMPEXP VisBaseEntity_cl : public VisObject3D_cl {
  V_DECLARE_DYNCREATE(VisBaseEntity_cl)
 public:
  VisBaseEntity_cl();
  ~VisBaseEntity_cl() override;

  // Life cycle, called by the engine.
  virtual void InitFunction() {}
  virtual void DeInitFunction() {}
  virtual void ThinkFunction() {}
  virtual void PreThinkFunction() {}
  virtual void EditorThinkFunction() {}
  // After the 3-D object's data: version byte, unique id, model file, scaling, flags,
  // masks, shadows, trace accuracy, the think switches and (version 2) the script
  // instance (VScriptResourceManager::WriteScriptInstance), re-attached on reading.
  void Serialize(VArchive& ar) override;
  virtual void OnDeserializationCallback(void* context) {}
  virtual bool WantsDeserializationCallback(int context) { return context != 1; }
  void SetThinkFunctionStatus(bool on) { m_bThink = on; }
  bool GetThinkFunctionStatus() const { return m_bThink; }
  void SetPreThinkFunctionStatus(bool on) { m_bPreThink = on; }
  bool GetPreThinkFunctionStatus() const { return m_bPreThink; }

  // Identity.
  const char* GetEntityKey() const { return GetObjectKey(); }
  void SetEntityKey(const char* key) { SetObjectKey(key); }
  // 0 means "no id" and is not indexed; Vision::Game finds the others by id.
  int64_t GetUniqueID() const { return m_iUniqueID; }
  void SetUniqueID(int64_t id);
  // The zone that made the entity (null for others): such an entity outlives world
  // unloads until its zone is unloaded. Set by the zone.
  VisZoneResource_cl* GetParentZone() const { return m_pParentZone; }
  void SetParentZone(VisZoneResource_cl* zone) { m_pParentZone = zone; }
  // Slot of the entity in Vision::Game (-1 once it left).
  int GetNumber() const { return m_iNumber; }
  unsigned GetObjectFlags() const { return m_iObjectFlags; }
  void SetObjectFlags(unsigned f) { m_iObjectFlags = f; }

  // Model. SetMesh(file) loads through Vision::Game.LoadDynamicMesh; false (and no
  // mesh, the name kept) when the file is missing. The entity holds a reference.
  bool SetMesh(const char* file);
  void SetMesh(VDynamicMesh* mesh);
  VDynamicMesh* GetMesh() const { return m_pMesh; }
  // The model file name as it was stored.
  const char* GetMeshFileName() const;
  bool HasMesh() const { return m_pMesh != nullptr; }
  void SetNoMesh(bool noMesh) { m_bNoMesh = noMesh; }
  bool IsNoMesh() const { return m_bNoMesh; }
  // World position and rotation of a bone of the model: its model-space pose (the
  // animated pose of the entity's animation configuration, else the rest pose)
  // scaled, turned and moved with the entity. False without a model or such a bone.
  bool GetBoneCurrentWorldSpaceTransformation(int boneIndex, VisVector_cl& position,
                                              VisQuaternion_cl& rotation) const;
  // Local box of the model, or an invalid box without one.
  void GetBoundingBox(VisBoundingBox_cl& out) const;
  // World-space box around the scaled, turned local box (the custom box when set).
  void GetCurrentVisBoundingBox(VisBoundingBox_cl& out) const;
  // The local box visibility tests use (the custom box when set, else the model's),
  // scaled; invalid when there is neither.
  void GetLocalVisBoundingBox(VisBoundingBox_cl& out) const;
  // A local box used instead of the model's for visibility; an invalid box clears it.
  void SetCustomVisibilityBox(const VisBoundingBox_cl& box);
  void SetScaling(const VisVector_cl& s) {
    m_vScaling = s;
    TraceShapeChanged();
  }
  void SetScaling(float s) { SetScaling(VisVector_cl(s, s, s)); }
  const VisVector_cl& GetScaling() const { return m_vScaling; }

  // Display.
  void SetVisibleBitmask(unsigned mask) { m_iVisibleMask = mask; }
  unsigned GetVisibleBitmask() const { return m_iVisibleMask; }
  void SetLightInfluenceBitMask(unsigned mask) { m_iLightMask = mask; }
  unsigned GetLightInfluenceBitMask() const { return m_iLightMask; }
  // Seen by the main camera in the last frame the world pass ran: its box was inside
  // the view volume, no static box stood between the camera and the box's centre,
  // and its visible bitmask is not 0. False until a frame has looked at the entity
  // (a new entity is not yet seen).
  bool WasVisibleInAnyLastFrame() const { return m_bInViewLastFrame && m_iVisibleMask != 0; }
  // Set by the world pass each frame.
  void SetInViewLastFrame(bool inside) { m_bInViewLastFrame = inside; }
  void SetCastShadows(bool on) { m_bCastShadows = on; }
  bool GetCastShadows() const { return m_bCastShadows; }
  void SetAlwaysInForeGround(bool on) { m_bForeground = on; }
  void SetInactive(bool on) { m_bInactive = on; }
  bool IsInactive() const { return m_bInactive; }
  // An entity with an accuracy other than none is listed for trace lines
  // (VisGame_cl::GetTraceCandidates).
  void SetTraceAccuracy(VisTraceAccuracy_e acc);
  VisTraceAccuracy_e GetTraceAccuracy() const { return m_eTraceAccuracy; }

  // Animation configuration (VisAnimConfig.h): the entity holds a reference to it;
  // null clears it.
  VisAnimConfig_cl* GetAnimConfig() const { return m_pAnimConfig; }
  void SetAnimConfig(VisAnimConfig_cl* cfg);
  // Physics attachment (filled by the physics module).
  IVisPhysicsObject_cl* GetPhysicsObject() const { return m_pPhysics; }
  void SetPhysicsObject(IVisPhysicsObject_cl* p) { m_pPhysics = p; }
  // Detaches and deletes the physics object (a component), if any.
  void DeletePhysicsObject();
  // Textures by surface that replace the model's own; null until the game makes one.
  VisSurfaceTextureSet_cl* GetCustomTextureSet() const { return m_spCustomTextures.GetPtr(); }
  void SetCustomTextureSet(VisSurfaceTextureSet_cl* set) { m_spCustomTextures = set; }

  // Removal: Remove marks the entity (twice is harmless); the engine frees it at the
  // end of the frame. A removed entity is no longer found by key or id.
  void Remove();
  bool IsMarkedRemoved() const { return m_bRemoved; }
  virtual void DisposeObject() { Remove(); }

  // Reserves room in the entity table.
  static void SetExpectedCount(int n);

 protected:
  friend class VisGame_cl;
  friend class VisTraceCandidates_cl;
  void OnWorldPoseChanged() override { TraceShapeChanged(); }
  // Tells the trace-line list that the traced shape moved or changed.
  void TraceShapeChanged() {
    if (m_iTraceCandidate >= 0 && !m_bTraceBoundsStale) MarkTraceCandidateStale();
  }
  void MarkTraceCandidateStale();
  int m_iTraceCandidate = -1;  // entry in Vision::Game's trace candidates, -1 for none
  bool m_bTraceBoundsStale = false;
  uint64_t m_iCreationSerial = 0;  // order of joining the world (think-loop safety)
  int64_t m_iUniqueID = 0;
  int m_iNumber = -1;
  VisZoneResource_cl* m_pParentZone = nullptr;
  unsigned m_iObjectFlags = 0;
  VDynamicMesh* m_pMesh = nullptr;
  VString m_sMeshFile;
  bool m_bNoMesh = false;
  VisBoundingBox_cl m_customVisBox;  // invalid: none
  VisVector_cl m_vScaling{1, 1, 1};
  unsigned m_iVisibleMask = 0xffffffff;
  bool m_bInViewLastFrame = false;
  unsigned m_iLightMask = 0xffffffff;
  bool m_bCastShadows = false;
  bool m_bForeground = false;
  bool m_bInactive = false;
  VisTraceAccuracy_e m_eTraceAccuracy = VIS_TRACEACC_NOCOLLISION;
  VisAnimConfig_cl* m_pAnimConfig = nullptr;
  IVisPhysicsObject_cl* m_pPhysics = nullptr;
  VSmartPtr<VisSurfaceTextureSet_cl> m_spCustomTextures;
  bool m_bThink = true;
  bool m_bPreThink = true;
  bool m_bRemoved = false;
};
