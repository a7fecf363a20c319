// A zone: a file of entities streamed into the running world beside its scene.
// Its entities outlive world unloads until the zone itself is unloaded, so that a
// scene loaded later meets the same objects (ids, script values).
//
// The file is in the scene format (data/README.md, "Zones"): a <zone> root with
// <entity> children as in a scene. Unloading removes the entities as the engine
// removes any (gone from searches at once, freed at the frame end); releasing a
// loaded zone unloads it.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class VisBaseEntity_cl;

class VBASE_IMPEXP VisZoneResource_cl : public VRefCounter {
 public:
  // Names the file; nothing is read until EnsureLoaded. The box is the zone's extent
  // (an empty box, min above max, when the caller does not know it).
  VisZoneResource_cl(const char* file, const VisVector_cl& boxMin, const VisVector_cl& boxMax);
  ~VisZoneResource_cl() override;

  // Reads the file and creates its entities in the world; false (and nothing
  // created) when the file is refused. Loading a loaded zone does nothing.
  bool EnsureLoaded();
  // Removes the zone's entities that still live.
  void EnsureUnloaded();
  bool IsLoaded() const { return m_bLoaded; }
  const char* GetFileName() const { return m_sFile.AsChar(); }
  // The zone's entities that still live, in file order.
  std::vector<VisBaseEntity_cl*> GetEntities() const;
  // Called by a zone entity that is being deleted.
  void OnEntityDestroyed(VisBaseEntity_cl* entity);

 private:
  VString m_sFile;
  VisVector_cl m_vBoxMin, m_vBoxMax;
  bool m_bLoaded = false;
  std::vector<VisBaseEntity_cl*> m_entities;
};
