// Counting the particles of one layer as the clock runs.
#include "engine/core/VisParticleLayer.h"

#include <algorithm>
#include <cmath>

VisParticleLayer_cl::VisParticleLayer_cl(const VisParticleEffectFile_cl::LayerDesc& desc)
    : m_desc(desc), m_bRunning(desc.startRunning) {}

void VisParticleLayer_cl::Start() {
  m_bRunning = true;
  m_bExhausted = false;
  m_emitted = 0.0;
}

void VisParticleLayer_cl::Tick(float dt) {
  if (m_bPaused || !(dt > 0.0f)) return;
  m_time += dt;
  // Particles whose life is over.
  while (!m_batches.empty() && m_batches.front().first <= m_time) {
    m_iLive -= m_batches.front().second;
    m_batches.pop_front();
  }
  if (!m_bRunning) return;

  double emitTime = dt;
  if (m_desc.duration >= 0.0f) {
    emitTime = std::min<double>(emitTime, std::max(0.0, (double)m_desc.duration - m_emitted));
    m_emitted += dt;
    if (m_emitted >= m_desc.duration) {
      m_bRunning = false;
      m_bExhausted = true;
    }
  }
  m_fraction += (double)m_desc.rate * m_fIntensity * emitTime;
  const double whole = std::floor(m_fraction);
  m_fraction -= whole;
  const int room = std::max(0, m_desc.maxParticles - m_iLive);
  const int born = (int)std::min<double>(whole, room);
  if (born <= 0) return;
  m_iLive += born;
  const double death = m_time + m_desc.lifetime;
  if (!m_batches.empty() && m_batches.back().first == death)
    m_batches.back().second += born;
  else
    m_batches.emplace_back(death, born);
}
