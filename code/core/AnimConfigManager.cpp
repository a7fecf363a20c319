// Shared skeletal animation configurations, four per (model, sequence).
#include "core/AnimConfigManager.h"

#include "util/MathTools.h"

#include "engine/Vision.h"

bool AnimConfigManager::Key::operator<(const Key& o) const {
  if (mesh != o.mesh) return std::less<VDynamicMesh*>()(mesh, o.mesh);
  return std::strcmp(sequence.AsChar(), o.sequence.AsChar()) < 0;
}

AnimConfigManager::AnimConfigManager() { Vision::Callbacks.OnEngineDeInit.RegisterCallback(this); }

AnimConfigManager::~AnimConfigManager() {
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  ClearAnimConfigs();
}

VisAnimConfig_cl* AnimConfigManager::GetAnimConfig(VisBaseEntity_cl* entity, const VString& sequence) {
  if (!entity || !entity->GetMesh()) return nullptr;
  const Key key{entity->GetMesh(), sequence};
  if (m_cache.find(key) == m_cache.end()) CreateAnimConfigs(entity, sequence);
  auto it = m_cache.find(key);
  if (it == m_cache.end() || it->second.empty()) return nullptr;
  VisAnimConfig_cl* config = it->second[MathTools::RandomInt((int)it->second.size())];
  // Every entity that takes a shared configuration hears the events of its own
  // animation (the engine delivers them while the entity plays it), not only the
  // entity that first asked for it.
  if (VisSkeletalAnimControl_cl* control = config->GetSkeletalAnimControl()) control->AddEventListener(entity);
  return config;
}

void AnimConfigManager::CreateAnimConfigs(VisBaseEntity_cl* entity, const VString& sequence) {
  VDynamicMesh* mesh = entity ? entity->GetMesh() : nullptr;
  if (!mesh) return;
  std::vector<VisAnimConfig_cl*> configs;
  for (int i = 0; i < ConfigsPerKey; ++i) {
    VisAnimSequence_cl* seq = mesh->GetSequenceSetCollection()->GetSequence(sequence, VIS_MODELANIM_SKELETAL);
    if (!seq) break;
    const float speed = MathTools::RandomFloat(1.0f, 2.0f);
    VSmartPtr<VisSkeletalAnimControl_cl> control =
        VisSkeletalAnimControl_cl::Create(mesh->GetSkeleton(), seq, VANIMCTRL_LOOP, speed, true);
    VisAnimConfig_cl* config = VisAnimConfig_cl::CreateSkeletalConfig(mesh);
    if (!control || !config) {
      delete config;
      break;
    }
    config->GetFinalResult()->SetSkeletalAnimInput(control);
    control->AddEventListener(entity);
    config->SetFlags(config->GetFlags() | VANIMCFG_FLAG_SHARED);
    if (config->GetVertexAnimResult()) config->SetVertexAnimResult(nullptr);
    config->SetSkinningMode(1);
    config->AddRef();
    configs.push_back(config);
  }
  if ((int)configs.size() == ConfigsPerKey) {
    m_cache[Key{mesh, sequence}] = std::move(configs);
    return;
  }
  for (VisAnimConfig_cl* c : configs) c->Release();
}

void AnimConfigManager::ClearAnimConfigs() {
  for (auto& entry : m_cache)
    for (VisAnimConfig_cl* c : entry.second) c->Release();
  m_cache.clear();
}

void AnimConfigManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnEngineDeInit) ClearAnimConfigs();
}
