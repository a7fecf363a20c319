// A running particle effect: its layers, switches and finishing.
#include "engine/core/VisParticleEffect.h"

#include <cstring>

V_IMPLEMENT_DYNAMIC(VisParticleEffect_cl, VisObject3D_cl)

VisParticleEffect_cl::VisParticleEffect_cl(VisParticleEffectFile_cl* file, const VisVector_cl& position,
                                           const VisVector_cl& orientation, float scale)
    : m_spFile(file), m_fScale(scale) {
  if (file)
    for (int i = 0; i < file->GetLayerCount(); ++i)
      m_layers.push_back(std::make_unique<VisParticleLayer_cl>(file->GetLayer(i)));
  SetOrientation(orientation);
  SetPosition(position);
}

VisParticleEffect_cl::~VisParticleEffect_cl() = default;

VisParticleLayer_cl* VisParticleEffect_cl::GetLayerByName(const char* name) const {
  if (!name) return nullptr;
  for (const auto& layer : m_layers)
    if (std::strcmp(layer->GetName(), name) == 0) return layer.get();
  return nullptr;
}

int VisParticleEffect_cl::GetNumOfParticles() const {
  int n = 0;
  for (const auto& layer : m_layers) n += layer->GetNumOfParticles();
  return n;
}

void VisParticleEffect_cl::SetFinished() {
  m_bFinished = true;
  for (auto& layer : m_layers) layer->Stop();
}

bool VisParticleEffect_cl::IsFinished() const {
  if (m_bFinished) return true;
  // Finished by itself once every layer has used up its emission time.
  if (m_layers.empty()) return true;
  for (const auto& layer : m_layers)
    if (!layer->IsExhausted()) return false;
  return true;
}

void VisParticleEffect_cl::Tick(float dt) {
  if (m_bPaused) return;
  if (m_bFinished)
    for (auto& layer : m_layers) layer->Stop();  // a layer started after the end stays off
  if (dt > 0.0f) m_age += dt;
  for (auto& layer : m_layers) layer->Tick(dt);
}
