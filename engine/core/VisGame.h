// The game world of the engine (Vision::Game): every entity, creation by class
// name, search by key and id, messages, and the option dictionary.
#pragma once

#include "engine/base/VStrDictionary.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisTraceCandidates.h"

#include <string>
#include <unordered_map>
#include <vector>

class VDynamicMesh;
class VisEntityTemplate_cl;
class VisPath_cl;
class VisRenderContext_cl;

// Entity collection in insertion order; grows by max(count/4, step) when full.
class VBASE_IMPEXP VisEntityCollection_cl {
 public:
  explicit VisEntityCollection_cl(int capacity = 16, int growStep = 16);
  void Append(VisBaseEntity_cl* e);
  // Appends only when absent.
  bool AppendUnique(VisBaseEntity_cl* e);
  int GetIndexOf(const VisBaseEntity_cl* e) const;
  bool Contains(const VisBaseEntity_cl* e) const { return GetIndexOf(e) >= 0; }
  bool Remove(VisBaseEntity_cl* e);
  void RemoveAt(int i);
  void Clear() { m_data.clear(); }
  int GetNumEntries() const { return (int)m_data.size(); }
  int GetCapacity() const { return m_capacity; }
  VisBaseEntity_cl* GetEntry(int i) const { return m_data[i]; }
  VisBaseEntity_cl* operator[](int i) const { return m_data[i]; }
  // Keeps the entities that were visible last frame.
  void FilterNonVisibleEntities();
  std::vector<VisBaseEntity_cl*>::const_iterator begin() const { return m_data.begin(); }
  std::vector<VisBaseEntity_cl*>::const_iterator end() const { return m_data.end(); }

 private:
  std::vector<VisBaseEntity_cl*> m_data;
  int m_capacity, m_growStep;
};

// Stored form of an entity to create later.
class VBASE_IMPEXP VisEntityTemplate_cl {
 public:
  virtual ~VisEntityTemplate_cl() = default;
  VString m_sClassName = "VisBaseEntity_cl";
  VisVector_cl m_vPosition{0, 0, 0};
  VisVector_cl m_vOrientation{0, 0, 0};
  VisVector_cl m_vScaling{1, 1, 1};
  VString m_sKey;
  VString m_sModelFile;
  VString m_sEntityParams;  // name="value" pairs
  bool m_bFlag = false;
  // Runs for the created entity, after its variables are set and before InitFunction.
  virtual void ApplyToEntity(VisBaseEntity_cl* entity) {}
  virtual void DisposeObject() { delete this; }
};

class VBASE_IMPEXP VisGame_cl {
 public:
  VisGame_cl();
  ~VisGame_cl();

  // Creates an entity by class name (null for an unknown or non-entity class), sets
  // its model and variables from the parameter string, adds it and calls InitFunction.
  VisBaseEntity_cl* CreateEntity(const char* className, const VisVector_cl& pos, const char* model = nullptr,
                                 const char* params = nullptr);
  VisBaseEntity_cl* CreateEntity(VisEntityTemplate_cl& templ);
  // Adds an entity constructed by game code (called by the entity constructor).
  void AddEntity(VisBaseEntity_cl* e);

  // Keys compare case-sensitively, like the engine's object keys; removed entities
  // are skipped. The collection form appends every match in slot order.
  VisBaseEntity_cl* SearchEntity(const char* key) const;
  int SearchEntity(const char* key, VisEntityCollection_cl& out) const;
  // Indexed by id; with duplicates the lowest slot wins. Null for 0 and for removed entities.
  VisBaseEntity_cl* FindEntityByUniqueID(int64_t id) const;
  VisBaseEntity_cl* FindEntityByUniqueID(uint32_t low, uint32_t high) const {
    return FindEntityByUniqueID((int64_t)(((uint64_t)high << 32) | low));
  }
  // All entities in slot order (removed ones included until freed).
  int GetEntityCount() const { return (int)m_entities.size(); }
  VisBaseEntity_cl* GetEntity(int i) const { return m_entities[i]; }  // may be null
  const std::vector<VisBaseEntity_cl*>& GetEntities() const { return m_entities; }

  void SendMsg(VisTypedEngineObject_cl* target, int id, INT_PTR p1 = 0, INT_PTR p2 = 0);
  // Message to every live entity in slot order (the engine's broadcast); entities
  // created meanwhile are not reached.
  void SendMsgToAll(int id, INT_PTR p1 = 0, INT_PTR p2 = 0);
  // Deletes the entities marked removed (end of every frame): DeInitFunction, children
  // detached, components disposed, the script manager and OnObjectDestroyed told.
  void FreeRemovedEntities();
  // Deletes every entity the same way (world unload), but for those of loaded zones
  // (VisZoneResource_cl); at program exit every entity.
  void RemoveAllEntities();

  // Models: loaded once per name (without regard to case and separators) and shared;
  // the world keeps one reference. Null, with a warning, when the file is missing or bad.
  VDynamicMesh* LoadDynamicMesh(const char* file, bool a = true, bool b = true);
  // Drops the shared models that nobody but the world references any more; returns
  // how many went. A later LoadDynamicMesh of such a name reads the file again.
  int PurgeUnusedMeshes();
  // Takes the surface textures of the shared models whose files changed them;
  // returns how many models changed (VDynamicMesh::ReloadSurfaceTextures).
  int ReloadMeshSurfaceTextures();

  // Engine frame: first the motion deltas of the last frame are added to the
  // positions, then every pre-think, then every think function, in slot order, of
  // live entities whose switch is on. Entities created meanwhile start next frame.
  void RunThinkFunctions();

  // Scene paths (loaded with the scene, dropped when the world unloads); the world
  // holds one reference each. SearchPath compares keys exactly; the first match wins.
  VisPath_cl* SearchPath(const char* key) const;
  int GetScenePathCount() const { return (int)m_paths.size(); }
  VisPath_cl* GetScenePath(int i) const { return m_paths[i]; }
  void AddScenePath(VisPath_cl* path);
  void RemoveAllScenePaths();

  // The pick ray through a screen point (pixels, x right, y down) of the context
  // (the main one when null): its direction scaled to the length.
  VisVector_cl GetTraceDirFromScreenPos(float x, float y, float length,
                                        const VisRenderContext_cl* context = nullptr) const;

  VStrDictionary& GetDictionary() { return m_dictionary; }

  // Reads w x h pixels of the back buffer from (x, y) (the top left) into buffer as
  // the back buffer holds them: rows from the bottom up, 3 bytes each pixel, blue
  // first. False, buffer untouched, without a window or outside the buffer.
  bool WriteScreenToBuffer(int x, int y, int w, int h, unsigned char* buffer);

  // The entities in the table that trace lines test.
  VisTraceCandidates_cl& GetTraceCandidates() { return m_traceCandidates; }

 private:
  friend class VisBaseEntity_cl;
  // Lists or unlists an entity by its trace accuracy (listed only while in the table).
  void UpdateTraceCandidate(VisBaseEntity_cl* e);
  void Unlist(VisBaseEntity_cl* e);
  void IndexId(VisBaseEntity_cl* e);
  void UnindexId(VisBaseEntity_cl* e);
  void DestroyEntity(VisBaseEntity_cl* e);
  // Calls fn for every live entity that existed when the walk began.
  template <class Fn> void ForEachLiveEntity(Fn fn);
  std::vector<VisBaseEntity_cl*> m_entities;
  std::unordered_map<int64_t, VisBaseEntity_cl*> m_byId;
  std::unordered_map<int64_t, int> m_idCount;  // live entities per id (duplicates)
  std::unordered_map<std::string, VDynamicMesh*> m_meshes;  // one reference each
  VStrDictionary m_dictionary;
  std::vector<VisPath_cl*> m_paths;  // one reference each
  VisTraceCandidates_cl m_traceCandidates;
  int64_t m_nextAutoId = 1;
  size_t m_firstFree = 0;
  uint64_t m_creationSerial = 0;
  bool m_bShutdown = false;
};

namespace Vision {
VBASE_IMPEXP extern VisGame_cl Game;
}  // namespace Vision
