// What the main camera saw in the last frame: the static geometry inside its view
// volume, and the entities inside it that no static box hides. Filled by the world pass each frame, headless too.
#pragma once

#include "engine/base/VBase.h"

#include <vector>

class VisBaseEntity_cl;
class VisStaticGeometryInstance_cl;

class VBASE_IMPEXP VisVisibilityCollector_cl {
 public:
  const std::vector<VisStaticGeometryInstance_cl*>& GetVisibleStaticGeometryInstances() const { return m_geometry; }
  const std::vector<VisBaseEntity_cl*>& GetVisibleEntities() const { return m_entities; }
  bool IsEntityVisible(const VisBaseEntity_cl* entity) const;

  // The world pass fills these.
  void Clear() { m_geometry.clear(); m_entities.clear(); }
  std::vector<VisStaticGeometryInstance_cl*> m_geometry;
  std::vector<VisBaseEntity_cl*> m_entities;
};
