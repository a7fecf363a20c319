// The particle system: shared effect files and the running effects of the scene.
#include "engine/core/VisParticleGroupManager.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <algorithm>

VisParticleGroupManager_cl& VisParticleGroupManager_cl::GlobalManager() {
  static VisParticleGroupManager_cl manager;
  return manager;
}

VisParticleGroupManager_cl::~VisParticleGroupManager_cl() {
  RemoveAllEffects();
  for (auto& entry : m_files) entry.second->Release();
  m_files.clear();
}

VisParticleEffectFile_cl* VisParticleGroupManager_cl::LoadFromFile(const char* file, bool forceUnique) {
  if (!file || !*file) return nullptr;
  const std::string key = VFileHelper::GetCacheKey(file);
  if (!forceUnique) {
    auto it = m_files.find(key);
    if (it != m_files.end()) return it->second;
  }
  std::string text;
  if (!Vision::File.ReadTextFile(file, text)) {
    Vision::Error.Warning("Particle effect file %s not found", file);
    return nullptr;
  }
  VisParticleEffectFile_cl* fx = new VisParticleEffectFile_cl(file);
  if (!fx->LoadFromXml(text.c_str())) {
    delete fx;
    return nullptr;
  }
  // A unique file belongs to whoever keeps a reference to it.
  if (forceUnique) return fx;
  fx->AddRef();
  m_files[key] = fx;
  return fx;
}

int VisParticleGroupManager_cl::PurgeUnusedFiles() {
  int purged = 0;
  for (auto it = m_files.begin(); it != m_files.end();) {
    if (it->second->GetRefCount() == 1) {
      it->second->Release();
      it = m_files.erase(it);
      ++purged;
    } else {
      ++it;
    }
  }
  return purged;
}

void VisParticleGroupManager_cl::AddEffect(VisParticleEffect_cl* effect) {
  if (!effect || std::find(m_effects.begin(), m_effects.end(), effect) != m_effects.end()) return;
  effect->AddRef();
  effect->m_bRemoved = false;
  m_effects.push_back(effect);
}

void VisParticleGroupManager_cl::TakeOut(VisParticleEffect_cl* effect) {
  auto it = std::find(m_effects.begin(), m_effects.end(), effect);
  if (it == m_effects.end()) return;
  m_effects.erase(it);
  effect->m_bRemoved = true;
  effect->DetachFromParent();
  effect->Release();  // may delete it
}

void VisParticleGroupManager_cl::Tick(float dt) {
  // Held for the walk; effects made meanwhile start next frame.
  std::vector<VSmartPtr<VisParticleEffect_cl>> effects(m_effects.begin(), m_effects.end());
  for (VisParticleEffect_cl* e : effects) e->Tick(dt);
  for (VisParticleEffect_cl* e : effects) {
    // Dead and either asked to go or held by nobody but the engine (and this walk).
    if (e->IsDead() && (e->GetRemoveWhenFinished() || e->GetRefCount() <= 2)) TakeOut(e);
  }
}

void VisParticleGroupManager_cl::RemoveAllEffects() {
  while (!m_effects.empty()) TakeOut(m_effects.back());
}
