// A trigger volume placed in a scene: an oriented box (half extents) or a sphere
// (radius) around the entity's position, with an inside test. Every box watches the
// observed entities (one list for all boxes): each think, an observed entity that came
// inside fires the box's "OnObjectEnter" trigger sources, one that went out its
// "OnObjectLeave" sources, with the entity as the sources' trigger object.
#pragma once

#include "engine/core/VisBaseEntity.h"

#include <unordered_set>
#include <vector>

class VBASE_IMPEXP TriggerBoxEntity_cl : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(TriggerBoxEntity_cl)
 public:
  TriggerBoxEntity_cl();
  ~TriggerBoxEntity_cl() override;

  void SetBox(const VisVector_cl& halfExtents);
  void SetSphere(float radius);
  bool IsSphere() const { return m_bSphere != 0; }
  const VisVector_cl& GetHalfExtents() const { return m_vHalfExtents; }
  float GetRadius() const { return m_fRadius; }
  // Whether the world point lies inside (the box turned with the entity; borders count).
  bool IsInside(const VisVector_cl& point) const;

  // Observed entities: added once, in order. An entity that stops being observed (or
  // is destroyed) is forgotten by every box without a leave.
  static void AddObservedEntity(VisBaseEntity_cl* entity);
  static void RemoveObservedEntity(VisBaseEntity_cl* entity);
  static bool IsObservedEntity(const VisBaseEntity_cl* entity);
  static const std::vector<VisBaseEntity_cl*>& GetObservedEntities();
  // Called by the entity's destructor.
  static void NotifyEntityDestroyed(VisBaseEntity_cl* entity);
  // Observed entities this box counts inside since its last check.
  bool IsEntityInside(const VisBaseEntity_cl* entity) const;
  // Compares every observed entity with the last check and fires the sources.
  void CheckObservedEntities();
  void ThinkFunction() override { CheckObservedEntities(); }

  int m_bSphere = 0;
  VisVector_cl m_vHalfExtents{1, 1, 1};
  float m_fRadius = 1.0f;

 private:
  void FireSources(const char* name, VisBaseEntity_cl* cause);

  std::unordered_set<const VisBaseEntity_cl*> m_inside;
};
