// An ordered list of entities with the engine's growth rule.
#include "engine/core/VisGame.h"

#include <algorithm>

VisEntityCollection_cl::VisEntityCollection_cl(int capacity, int growStep)
    : m_capacity(std::max(capacity, 0)), m_growStep(std::max(growStep, 1)) {
  m_data.reserve((size_t)m_capacity);
}

void VisEntityCollection_cl::Append(VisBaseEntity_cl* e) {
  if ((int)m_data.size() >= m_capacity) {
    m_capacity += std::max((int)m_data.size() / 4, m_growStep);
    m_data.reserve((size_t)m_capacity);
  }
  m_data.push_back(e);
}

bool VisEntityCollection_cl::AppendUnique(VisBaseEntity_cl* e) {
  if (Contains(e)) return false;
  Append(e);
  return true;
}

int VisEntityCollection_cl::GetIndexOf(const VisBaseEntity_cl* e) const {
  auto it = std::find(m_data.begin(), m_data.end(), e);
  return it == m_data.end() ? -1 : (int)(it - m_data.begin());
}

bool VisEntityCollection_cl::Remove(VisBaseEntity_cl* e) {
  const int i = GetIndexOf(e);
  if (i < 0) return false;
  RemoveAt(i);
  return true;
}

void VisEntityCollection_cl::RemoveAt(int i) {
  if (i < 0 || i >= (int)m_data.size()) return;
  m_data.erase(m_data.begin() + i);
}

void VisEntityCollection_cl::FilterNonVisibleEntities() {
  m_data.erase(std::remove_if(m_data.begin(), m_data.end(),
                              [](VisBaseEntity_cl* e) { return !e || !e->WasVisibleInAnyLastFrame(); }),
               m_data.end());
}
