// The entities that trace lines test, each with a world box around its traced shape,
// kept in flat arrays so that a trace rejects the far ones cheaply.
#pragma once

#include "engine/base/VisMath.h"

#include <vector>

class VisBaseEntity_cl;

// Vision::Game lists an entity while it is in the entity table and its trace accuracy
// is not none. The entity marks its entry stale when it moves, turns, is scaled or gets
// another model; the collision toolkit refreshes the stale boxes before it tests any.
class VBASE_IMPEXP VisTraceCandidates_cl {
 public:
  // Gives the box of an entity's traced shape (an invalid box: nothing to hit).
  typedef VisBoundingBox_cl (*BoundsFn)(const VisBaseEntity_cl* entity);

  int GetCount() const { return (int)m_entities.size(); }
  VisBaseEntity_cl* GetEntity(int i) const { return m_entities[i]; }
  bool IsListed(const VisBaseEntity_cl* entity) const;

  // Listing and unlisting, in no particular order; a new entry is stale.
  void Add(VisBaseEntity_cl* entity);
  void Remove(VisBaseEntity_cl* entity);
  void MarkStale(VisBaseEntity_cl* entity);
  bool HasStale() const { return !m_stale.empty(); }
  // Gives every stale entry the box 'bounds' makes for it.
  void Refresh(BoundsFn bounds);
  // Appends the entities whose boxes touch the box from 'lo' to 'hi' (every entity when
  // a box bound is not a number).
  void Collect(const VisVector_cl& lo, const VisVector_cl& hi, std::vector<VisBaseEntity_cl*>& out) const;

 private:
  void SetBox(int i, const VisBoundingBox_cl& box);
  std::vector<VisBaseEntity_cl*> m_entities;
  // The boxes, one array per bound.
  std::vector<float> m_minX, m_minY, m_minZ, m_maxX, m_maxY, m_maxZ;
  std::vector<VisBaseEntity_cl*> m_stale;  // each at most once
  mutable std::vector<unsigned char> m_hits;
};
