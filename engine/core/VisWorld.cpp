// The world: emptying it, loading a scene into it, its script and flat terrain.
#include "engine/core/VisWorld.h"

#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"

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
  Vision::Game.RemoveAllEntities();
  if (GetSceneScript()) SetSceneScript(nullptr);
  ClearTerrain();
  m_sScene.Reset();
  m_bUnloading = false;
}

IVScriptInstance* VisWorld_cl::GetSceneScript() const { return Vision::GetScriptManager()->GetSceneScript(); }

void VisWorld_cl::SetSceneScript(IVScriptInstance* s) { Vision::GetScriptManager()->SetSceneScript(s); }

float VisWorld_cl::GetHeightAtWorldPos(float x, float y) const { return m_bHasTerrain ? m_terrainHeight : 0.0f; }
