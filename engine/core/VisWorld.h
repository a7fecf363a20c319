// The world: scene loading in the engine's own scene format, the empty world,
// the editor state and the terrain.
#pragma once

#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class IVScriptInstance;
class VisStaticGeometryInstance_cl;
class VisLightSource_cl;
class VisTerrainSurface_cl;

// Loads a scene file into the emptied world (the entities of loaded zones stay),
// reporting progress to the application (OnLoadWorldStatus with 0 and then 100
// percent), then fires OnAfterSceneLoaded and OnAfterSceneLoadedLate. The file is
// read whole and checked before the world is emptied, so a refused file leaves the
// world as it was. Format (see data/README.md):
//   <scene script="scripts\Scene.lua">
//     <terrain height="0"/>   (or a height field: origin, size, samples, heights)
//     <entity class="VisBaseEntity_cl" key="Ship1" id="42" position="1/2/3"
//             orientation="90/0/0" model="models\ship.model">
//       <var name="m_iNation" value="2"/>
//       <component class="SomeComponent" name="c1"><var name="m_fSpeed" value="3"/></component>
//       <collision box="4/2/3" offset="0/0/1.5"/>
//     </entity>
//     <path key="Patrol" closed="1"><node position="0/0/0" in="-1/0/0" out="1/0/0"/></path>
//     <light key="Lamp" position="0/0/5" color="1/0.8/0.5" radius="300" period="2">
//       <key color="1/0.8/0.5"/><key color="0.5/0.4/0.2"/>
//     </light>
//   </scene>
// An entity whose id is above 2^53 (not exact in a script number) or already taken is
// skipped with a log line; so is an unknown class.
class VBASE_IMPEXP VSceneLoader {
 public:
  enum Status { STATUS_IDLE = 0, STATUS_LOADING = 1, STATUS_FINISHED = 2, STATUS_FAILED = 4 };
  // False when the file cannot be read; the error is kept.
  bool LoadScene(const char* file);
  bool IsLoading() const { return m_status == STATUS_LOADING; }
  bool IsFinished() const { return m_status != STATUS_LOADING; }
  // Advances a running load (the stand-in loads at once).
  void Tick();
  int GetStatus() const { return m_status; }
  const char* GetLastError() const { return m_lastError.AsChar(); }

 private:
  int m_status = STATUS_IDLE;
  VString m_lastError;
};

class VBASE_IMPEXP VisWorld_cl {
 public:
  // A null name gives an empty world.
  bool LoadWorld(const char* file);
  void UnloadWorld();
  bool IsWorldUnloading() const { return m_bUnloading; }
  const char* GetSceneFile() const { return m_sScene.AsChar(); }
  void SetSceneFile(const char* f) { m_sScene = f; }
  // The scene's script instance (may be null); kept by the script manager, so both
  // name the same instance.
  IVScriptInstance* GetSceneScript() const;
  void SetSceneScript(IVScriptInstance* s);
  // An unnamed world switch the launcher turns off.
  void SetUseGeometryVisibility(bool on) { m_bGeometryVisibility = on; }
  bool GetUseGeometryVisibility() const { return m_bGeometryVisibility; }

  // Terrain: a flat height field at z = 0 unless a scene provides one.
  bool HasTerrain() const { return m_bHasTerrain; }
  // Absolute height; on a height field the height of its triangles (each cell split
  // along the diagonal from (x+1, y) to (x, y+1)), clamped to the field's edge outside.
  float GetHeightAtWorldPos(float x, float y) const;
  // An endless flat terrain at 'height'.
  void SetFlatTerrain(float height);
  // A height field: samplesX x samplesY heights (row by row, x fastest, each relative
  // to origin.z) spread over sizeX x sizeY units from the corner 'origin' (its least
  // x and y). At least 2 x 2 samples, positive sizes and finite heights; false (and
  // the terrain unchanged) otherwise.
  bool SetHeightFieldTerrain(const VisVector_cl& origin, float sizeX, float sizeY, int samplesX, int samplesY,
                             const std::vector<float>& heights);
  void ClearTerrain();
  bool IsHeightFieldTerrain() const { return m_bHasTerrain && m_terrainSamplesX > 0; }
  // Height-field layout (zero sizes and no samples for a flat terrain).
  const VisVector_cl& GetTerrainOrigin() const { return m_vTerrainOrigin; }
  float GetTerrainSizeX() const { return m_terrainSizeX; }
  float GetTerrainSizeY() const { return m_terrainSizeY; }
  int GetTerrainSamplesX() const { return m_terrainSamplesX; }
  int GetTerrainSamplesY() const { return m_terrainSamplesY; }
  const std::vector<float>& GetTerrainHeights() const { return m_terrainHeights; }
  // The terrain sector under a point: the terrain is one sector whose flags have
  // bit 0 set (its heights are in memory); 0 without terrain.
  unsigned GetTerrainSectorFlags(float x, float y) const { return m_bHasTerrain ? 1u : 0u; }
  // Flat height (0 for a height field).
  float GetFlatTerrainHeight() const { return m_terrainHeight; }
  // The terrain's surface as a static geometry instance of type 2 (not one of the
  // boxes below); null while the world has no terrain.
  VisStaticGeometryInstance_cl* GetTerrainSurfaceInstance();
  // Changes whenever the terrain or the static geometry changes (physics rebuilds).
  unsigned GetCollisionRevision() const { return m_iCollisionRevision; }

  // Static geometry: solid boxes of the scene. The world owns them and deletes them
  // when it is unloaded.
  void AddStaticGeometryInstance(VisStaticGeometryInstance_cl* instance);
  int GetStaticGeometryInstanceCount() const { return (int)m_staticGeometry.size(); }
  VisStaticGeometryInstance_cl* GetStaticGeometryInstance(int i) const { return m_staticGeometry[i]; }
  void RemoveAllStaticGeometry();

  // Light sources of the scene; the world owns them and deletes them when it is unloaded.
  void AddLightSource(VisLightSource_cl* light);
  int GetLightSourceCount() const { return (int)m_lights.size(); }
  VisLightSource_cl* GetLightSource(int i) const { return m_lights[i]; }
  void RemoveAllLightSources();

 private:
  VString m_sScene;
  bool m_bUnloading = false;
  bool m_bGeometryVisibility = true;
  bool m_bHasTerrain = false;
  float m_terrainHeight = 0.0f;
  VisVector_cl m_vTerrainOrigin{0, 0, 0};
  float m_terrainSizeX = 0.0f, m_terrainSizeY = 0.0f;
  int m_terrainSamplesX = 0, m_terrainSamplesY = 0;
  std::vector<float> m_terrainHeights;
  std::vector<VisStaticGeometryInstance_cl*> m_staticGeometry;
  std::vector<VisLightSource_cl*> m_lights;
  unsigned m_iCollisionRevision = 0;
  VisTerrainSurface_cl* m_pTerrainSurface = nullptr;  // made on first use, kept
};

// The game never runs inside an editor: always play mode.
class VBASE_IMPEXP VisEditorManager_cl {
 public:
  enum Mode { EDITORMODE_NONE = 0, EDITORMODE_ANIMATING = 1, EDITORMODE_PLAYING_IN_EDITOR = 2, EDITORMODE_PLAYING_IN_GAME = 3 };
  bool IsInEditor() const { return false; }
  bool IsPlayingTheGame() const { return true; }
  int GetMode() const { return EDITORMODE_PLAYING_IN_GAME; }
};

namespace Vision {
VBASE_IMPEXP extern VisWorld_cl World;
VBASE_IMPEXP extern VisEditorManager_cl Editor;
// Loads a scene into the emptied world; null gives an empty world.
VBASE_IMPEXP bool LoadWorld(const char* file);
}  // namespace Vision
