// The world: emptying it, loading a scene into it, its script, terrain and static geometry.
#include "engine/core/VisWorld.h"

#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisTerrainSurface.h"

#include <algorithm>
#include <cmath>

namespace Vision {
VisWorld_cl World;
VisEditorManager_cl Editor;

bool LoadWorld(const char* file) { return World.LoadWorld(file); }
}  // namespace Vision

bool VisWorld_cl::LoadWorld(const char* file) {
  if (!file || !*file) {
    UnloadWorld();
    return true;
  }
  VSceneLoader loader;
  return loader.LoadScene(file);
}

void VisWorld_cl::UnloadWorld() {
  // A handler of OnWorldDeInit that asks for an empty world again gets it already.
  if (m_bUnloading) return;
  m_bUnloading = true;
  // Listeners let go of entities and scene data while they still exist.
  Vision::Callbacks.OnWorldDeInit.TriggerCallbacks();
  // The entities of loaded zones stay until their zone is unloaded.
  Vision::Game.RemoveAllEntities();
  Vision::Game.RemoveAllScenePaths();
  VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
  if (GetSceneScript()) SetSceneScript(nullptr);
  ClearTerrain();
  RemoveAllStaticGeometry();
  RemoveAllLightSources();
  m_sScene.Reset();
  m_bUnloading = false;
}

IVScriptInstance* VisWorld_cl::GetSceneScript() const { return Vision::GetScriptManager()->GetSceneScript(); }

void VisWorld_cl::SetSceneScript(IVScriptInstance* s) { Vision::GetScriptManager()->SetSceneScript(s); }

// ---- terrain and static geometry ------------------------------------------------

float VisWorld_cl::GetHeightAtWorldPos(float x, float y) const {
  if (!m_bHasTerrain) return 0.0f;
  if (m_terrainSamplesX <= 0) return m_terrainHeight;
  const int nx = m_terrainSamplesX, ny = m_terrainSamplesY;
  const float u = std::clamp((x - m_vTerrainOrigin.x) / m_terrainSizeX * (nx - 1), 0.0f, (float)(nx - 1));
  const float v = std::clamp((y - m_vTerrainOrigin.y) / m_terrainSizeY * (ny - 1), 0.0f, (float)(ny - 1));
  const int i = std::min((int)u, nx - 2), j = std::min((int)v, ny - 2);
  const float fu = u - i, fv = v - j;
  auto h = [&](int a, int b) { return m_terrainHeights[(size_t)b * nx + a]; };
  // The physics splits each cell along the diagonal from (i+1, j) to (i, j+1).
  float z;
  if (fu + fv <= 1.0f)
    z = h(i, j) + fu * (h(i + 1, j) - h(i, j)) + fv * (h(i, j + 1) - h(i, j));
  else
    z = h(i + 1, j + 1) + (1.0f - fu) * (h(i, j + 1) - h(i + 1, j + 1)) + (1.0f - fv) * (h(i + 1, j) - h(i + 1, j + 1));
  return m_vTerrainOrigin.z + z;
}

void VisWorld_cl::SetFlatTerrain(float height) {
  ClearTerrain();
  m_bHasTerrain = true;
  m_terrainHeight = height;
}

bool VisWorld_cl::SetHeightFieldTerrain(const VisVector_cl& origin, float sizeX, float sizeY, int samplesX,
                                        int samplesY, const std::vector<float>& heights) {
  if (samplesX < 2 || samplesY < 2 || samplesX > 4096 || samplesY > 4096) return false;
  if (!(sizeX > 0.0f) || !(sizeY > 0.0f) || !std::isfinite(sizeX) || !std::isfinite(sizeY)) return false;
  if (!std::isfinite(origin.x) || !std::isfinite(origin.y) || !std::isfinite(origin.z)) return false;
  if (heights.size() != (size_t)samplesX * (size_t)samplesY) return false;
  for (float h : heights)
    if (!std::isfinite(h)) return false;
  ClearTerrain();
  m_bHasTerrain = true;
  m_vTerrainOrigin = VisVector_cl(origin.x, origin.y, origin.z);
  m_terrainSizeX = sizeX;
  m_terrainSizeY = sizeY;
  m_terrainSamplesX = samplesX;
  m_terrainSamplesY = samplesY;
  m_terrainHeights = heights;
  return true;
}

void VisWorld_cl::ClearTerrain() {
  m_bHasTerrain = false;
  m_terrainHeight = 0.0f;
  m_vTerrainOrigin = VisVector_cl(0, 0, 0);
  m_terrainSizeX = m_terrainSizeY = 0.0f;
  m_terrainSamplesX = m_terrainSamplesY = 0;
  m_terrainHeights.clear();
  ++m_iCollisionRevision;
}

VisStaticGeometryInstance_cl* VisWorld_cl::GetTerrainSurfaceInstance() {
  if (!m_bHasTerrain) return nullptr;
  if (!m_pTerrainSurface) m_pTerrainSurface = new VisTerrainSurface_cl();
  return m_pTerrainSurface;
}

void VisWorld_cl::AddStaticGeometryInstance(VisStaticGeometryInstance_cl* instance) {
  if (!instance) return;
  m_staticGeometry.push_back(instance);
  ++m_iCollisionRevision;
}

void VisWorld_cl::RemoveAllStaticGeometry() {
  if (m_staticGeometry.empty()) return;
  std::vector<VisStaticGeometryInstance_cl*> gone;
  gone.swap(m_staticGeometry);
  ++m_iCollisionRevision;
  // What the camera saw last frame names these: until the next world pass, a pick
  // ray of the mouse must not find them.
  VisRenderContext_cl::GetMainRenderContext()->GetVisibilityCollector()->m_geometry.clear();
  for (VisStaticGeometryInstance_cl* g : gone) delete g;
}
