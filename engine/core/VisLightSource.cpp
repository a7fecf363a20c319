// Scene light sources: the colour curve played over its period with a phase.
#include "engine/core/VisLightSource.h"

#include <algorithm>
#include <cmath>

V_IMPLEMENT_DYNAMIC(VisLightSource_cl, VisObject3D_cl)

void VisLightSource_cl::SetColorAnimation(const std::vector<VisVector_cl>& keys, float period) {
  m_colorKeys = keys;
  // A period that is not a positive number would divide by zero: keep the old one.
  if (period > 0.0f && std::isfinite(period)) m_fPeriod = period;
}

VisVector_cl VisLightSource_cl::GetAnimatedColor(float time) const {
  if (m_colorKeys.empty()) return m_vColor;
  const size_t n = m_colorKeys.size();
  if (n == 1 || !std::isfinite(time)) return m_colorKeys[0];
  // The keys are spread evenly over one period and loop: the last blends back into the first.
  double t = (double)time / m_fPeriod + m_fPhase;
  t -= std::floor(t);
  const double at = t * (double)n;
  const size_t i = std::min((size_t)at, n - 1);
  const float f = (float)(at - (double)i);
  const VisVector_cl& a = m_colorKeys[i];
  const VisVector_cl& b = m_colorKeys[(i + 1) % n];
  return VisVector_cl(a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f);
}

#include "engine/core/VisWorld.h"

void VisWorld_cl::AddLightSource(VisLightSource_cl* light) {
  if (light) m_lights.push_back(light);
}

void VisWorld_cl::RemoveAllLightSources() {
  std::vector<VisLightSource_cl*> gone;
  gone.swap(m_lights);
  for (VisLightSource_cl* light : gone) delete light;
}
