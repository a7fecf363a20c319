// The main camera's visibility of the last frame.
#include "engine/core/VisVisibilityCollector.h"

#include <algorithm>

bool VisVisibilityCollector_cl::IsEntityVisible(const VisBaseEntity_cl* entity) const {
  return std::find(m_entities.begin(), m_entities.end(), entity) != m_entities.end();
}
