// The list of entities trace lines test, with their boxes.
#include "engine/core/VisTraceCandidates.h"

#include "engine/core/VisBaseEntity.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

bool VisTraceCandidates_cl::IsListed(const VisBaseEntity_cl* entity) const {
  const int i = entity->m_iTraceCandidate;
  return i >= 0 && i < GetCount() && m_entities[i] == entity;
}

void VisTraceCandidates_cl::Add(VisBaseEntity_cl* entity) {
  if (IsListed(entity)) return;
  entity->m_iTraceCandidate = GetCount();
  m_entities.push_back(entity);
  for (std::vector<float>* v : {&m_minX, &m_minY, &m_minZ, &m_maxX, &m_maxY, &m_maxZ}) v->push_back(0.0f);
  SetBox(entity->m_iTraceCandidate, VisBoundingBox_cl());
  entity->m_bTraceBoundsStale = false;
  MarkStale(entity);
}

void VisTraceCandidates_cl::Remove(VisBaseEntity_cl* entity) {
  if (!IsListed(entity)) return;
  if (entity->m_bTraceBoundsStale)
    m_stale.erase(std::find(m_stale.begin(), m_stale.end(), entity));
  // The last entry takes the free place.
  const int i = entity->m_iTraceCandidate;
  const int last = GetCount() - 1;
  if (i != last) {
    m_entities[i] = m_entities[last];
    m_entities[i]->m_iTraceCandidate = i;
  }
  m_entities.pop_back();
  for (std::vector<float>* v : {&m_minX, &m_minY, &m_minZ, &m_maxX, &m_maxY, &m_maxZ}) {
    (*v)[i] = (*v)[last];
    v->pop_back();
  }
  entity->m_iTraceCandidate = -1;
  entity->m_bTraceBoundsStale = false;
}

void VisTraceCandidates_cl::MarkStale(VisBaseEntity_cl* entity) {
  if (entity->m_bTraceBoundsStale || !IsListed(entity)) return;
  entity->m_bTraceBoundsStale = true;
  m_stale.push_back(entity);
}

void VisTraceCandidates_cl::Refresh(BoundsFn bounds) {
  for (VisBaseEntity_cl* e : m_stale) {
    SetBox(e->m_iTraceCandidate, bounds(e));
    e->m_bTraceBoundsStale = false;
  }
  m_stale.clear();
}

void VisTraceCandidates_cl::SetBox(int i, const VisBoundingBox_cl& box) {
  m_minX[i] = box.m_vMin.x;
  m_minY[i] = box.m_vMin.y;
  m_minZ[i] = box.m_vMin.z;
  m_maxX[i] = box.m_vMax.x;
  m_maxY[i] = box.m_vMax.y;
  m_maxZ[i] = box.m_vMax.z;
}

void VisTraceCandidates_cl::Collect(const VisVector_cl& lo, const VisVector_cl& hi,
                                    std::vector<VisBaseEntity_cl*>& out) const {
  const size_t n = m_entities.size();
  // Flags for whole words, so that the second pass reads eight at a time.
  m_hits.resize((n + 7) & ~(size_t)7);
  // One pass the compiler can vectorise, then one over the flags. Comparisons with a
  // bound that is not a number are false, so such a box is never rejected.
  const float lx = lo.x, ly = lo.y, lz = lo.z, hx = hi.x, hy = hi.y, hz = hi.z;
  const float* __restrict minX = m_minX.data();
  const float* __restrict minY = m_minY.data();
  const float* __restrict minZ = m_minZ.data();
  const float* __restrict maxX = m_maxX.data();
  const float* __restrict maxY = m_maxY.data();
  const float* __restrict maxZ = m_maxZ.data();
  unsigned char* __restrict hits = m_hits.data();
  for (size_t i = 0; i < n; ++i)
    hits[i] = !((lx > maxX[i]) | (hx < minX[i]) | (ly > maxY[i]) | (hy < minY[i]) | (lz > maxZ[i]) | (hz < minZ[i]));
  for (size_t i = n; i < m_hits.size(); ++i) hits[i] = 0;
  for (size_t i = 0; i < n; i += 8) {
    uint64_t word;
    std::memcpy(&word, hits + i, sizeof(word));
    if (!word) continue;
    for (size_t j = i; j < i + 8 && j < n; ++j)
      if (hits[j]) out.push_back(m_entities[j]);
  }
}
