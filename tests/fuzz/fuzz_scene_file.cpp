// The scene loader over arbitrary files: no crash, no sanitizer report; a refused
// scene leaves the (empty) world as it was, a loaded one has only entities with
// distinct ids in range (or none), a terrain that answers heights everywhere, and everything it
// made goes again when the world unloads. A probe entity and component with engine
// variables stand for the game's classes.
// fuzz-libs: engine
#include "FuzzChecks.h"

#include "engine/Vision.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

using fuzz_checks::Require;

namespace {

class FuzzSceneEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(FuzzSceneEntity)
 public:
  int m_iNation = 0;
  VString m_sName;
  float m_fSpeed = 0.0f;
};
void FuzzSceneEntity_BuildVars(VARTABLE& t) {
  VAR_INT(t, FuzzSceneEntity, m_iNation, "Nation", "0");
  VAR_STRING(t, FuzzSceneEntity, m_sName, "Name", "");
  VAR_FLOAT(t, FuzzSceneEntity, m_fSpeed, "Speed", "0");
}
V_IMPLEMENT_DYNCREATE_VARS(FuzzSceneEntity, VisBaseEntity_cl, FuzzSceneEntity_BuildVars)

// Attaches only to the probe entity, so refusals are reached too.
class FuzzSceneComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(FuzzSceneComponent)
 public:
  float m_fSpeed = 0.0f;
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override {
    if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
    if (object->IsOfType(FuzzSceneEntity::GetClassTypeId())) return 1;
    reason = "only on FuzzSceneEntity";
    return 0;
  }
};
void FuzzSceneComponent_BuildVars(VARTABLE& t) { VAR_FLOAT(t, FuzzSceneComponent, m_fSpeed, "Speed", "0"); }
V_IMPLEMENT_DYNCREATE_VARS(FuzzSceneComponent, IVObjectComponent, FuzzSceneComponent_BuildVars)

std::filesystem::path g_dir;

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(g_dir, ignored);
}

size_t LiveEntities() {
  size_t n = 0;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) n += e && !e->IsMarkedRemoved();
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The scene is found through the data folders, so each input becomes a file in a
  // folder of this process alone.
  g_dir = std::filesystem::temp_directory_path() / ("fuzz_scene_" + std::to_string(::getpid()));
  std::filesystem::create_directories(g_dir);
  atexit(RemoveFolder);
  Vision::File.RemoveAllDataDirectories();
  Require(Vision::File.AddDataDirectory(g_dir.c_str()));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    FILE* f = fopen((g_dir / "fuzz.vscene").c_str(), "wb");
    Require(f != nullptr);
    Require(fwrite(data, 1, size, f) == size);
    fclose(f);
  }
  const bool loaded = Vision::World.LoadWorld("fuzz");
  if (!loaded) {
    Require(LiveEntities() == 0 && !Vision::World.HasTerrain() && Vision::World.GetStaticGeometryInstanceCount() == 0);
  } else {
    std::set<int64_t> ids;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
      if (!e || e->IsMarkedRemoved()) continue;
      // 0 is an entity without an id.
      const int64_t id = e->GetUniqueID();
      if (id == 0) continue;
      Require(id >= 1 && id <= (int64_t(1) << 53));
      Require(ids.insert(id).second);
    }
    if (Vision::World.HasTerrain()) {
      for (float x : {-1e6f, 0.0f, 3.5f, 1e6f})
        for (float y : {-1e6f, 0.0f, 7.25f, 1e6f}) Require(!std::isnan(Vision::World.GetHeightAtWorldPos(x, y)));
    }
    for (int i = 0; i < Vision::World.GetStaticGeometryInstanceCount(); ++i)
      Require(Vision::World.GetStaticGeometryInstance(i) != nullptr);
  }
  Vision::World.UnloadWorld();
  Vision::Game.FreeRemovedEntities();
  Require(LiveEntities() == 0 && Vision::World.GetStaticGeometryInstanceCount() == 0);
  return 0;
}
