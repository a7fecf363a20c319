// The scene's paths in Vision::Game: kept, found by key and dropped with the world.
#include "engine/core/VisGame.h"
#include "engine/core/VisPath.h"

#include <cstring>

VisPath_cl* VisGame_cl::SearchPath(const char* key) const {
  if (!key) return nullptr;
  for (VisPath_cl* p : m_paths)
    if (std::strcmp(p->GetObjectKey(), key) == 0) return p;
  return nullptr;
}

void VisGame_cl::AddScenePath(VisPath_cl* path) {
  if (!path) return;
  for (VisPath_cl* p : m_paths)
    if (p == path) return;
  path->AddRef();
  m_paths.push_back(path);
}

void VisGame_cl::RemoveAllScenePaths() {
  std::vector<VisPath_cl*> paths;
  paths.swap(m_paths);
  for (VisPath_cl* p : paths) p->Release();
}
