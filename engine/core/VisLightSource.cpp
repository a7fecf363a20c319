// Scene light sources.
#include "engine/core/VisLightSource.h"

void VisLightSource_cl::SetColorAnimation(const std::vector<VisVector_cl>& keys, float period) {
  m_colorKeys = keys;
  m_fPeriod = period;
}

VisVector_cl VisLightSource_cl::GetAnimatedColor(float time) const { return m_vColor; }

#include "engine/core/VisWorld.h"

void VisWorld_cl::AddLightSource(VisLightSource_cl* light) {
  if (light) m_lights.push_back(light);
}

void VisWorld_cl::RemoveAllLightSources() {
  for (VisLightSource_cl* light : m_lights) delete light;
  m_lights.clear();
}
