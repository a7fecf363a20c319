// Trace lines (Vision::CollisionToolkit): the nearest thing a segment meets among the
// entities (tested by their trace accuracy), the static geometry and the terrain of
// the world. Independent of the physics simulation.
#pragma once

#include "engine/core/VisTraceLineInfo.h"

#include <vector>

class VisBaseEntity_cl;
class VisObject3D_cl;
class VisEntityCollection_cl;
class VisStaticGeometryInstance_cl;

// What a trace tests (the 'flags' argument); all bits set tests everything.
enum VisTraceFlags_e {
  VIS_TRACE_ENTITIES = 0x1,
  VIS_TRACE_STATICGEOMETRY = 0x2,
  VIS_TRACE_TERRAIN = 0x4,
  VIS_TRACE_ALL = 0xffffffff,
};

class VBASE_IMPEXP VisCollisionToolkit_cl {
 public:
  enum { MAX_TRACE_RESULTS = 1024 };

  // Traces from 'start' to 'end'. Entities are tested by their trace accuracy: none
  // is skipped; the axis-aligned box, the oriented box or the sphere around the
  // oriented box of the model's bounding box (scaled); polygons count as the oriented
  // box. An entity is tested only when 'mask' shares a bit with the collision bitmask
  // of its physics object (entities without one always match). 'ignoreA'/'ignoreB'
  // (may be null) are skipped. With 'out', its first min(maxResults, 1024) entries
  // receive the hits nearest first (equally near entities in table order) and the rest
  // are cleared. True when anything was hit. Only the entities Vision::Game lists as
  // trace candidates are looked at, first by a box kept around each one.
  bool TraceLine(const VisVector_cl& start, const VisVector_cl& end, unsigned mask, unsigned flags,
                 const VisObject3D_cl* ignoreA, const VisObject3D_cl* ignoreB, VisTraceLineInfo_t* out,
                 int maxResults = 1);
  // Only the given entities (by their trace accuracy), nearest hit into 'out' (may be null).
  bool TraceLineEntities(const VisVector_cl& start, const VisVector_cl& end, const VisEntityCollection_cl& entities,
                         VisTraceLineInfo_t* out);

  // First point where the segment meets the world's terrain surface (from either
  // side) as a fraction of the segment; false without terrain or without a crossing.
  static bool IntersectTerrain(const VisVector_cl& start, const VisVector_cl& end, float& fraction);
  // Only the given static geometry instances (the terrain's surface among them when
  // given), nearest hit (hit type 2) into 'out'.
  bool TraceLineStaticGeometry(const VisVector_cl& start, const VisVector_cl& end,
                               const std::vector<VisStaticGeometryInstance_cl*>& geometry, VisTraceLineInfo_t* out);

  // A settings word callers set around a trace (0x480) and restore (0x80); kept for
  // them, the trace result does not depend on it.
  void SetTraceLineSettings(unsigned settings) { m_iSettings = settings; }
  unsigned GetTraceLineSettings() const { return m_iSettings; }

 private:
  unsigned m_iSettings = 0x80;
  std::vector<VisBaseEntity_cl*> m_near;  // the entities a trace tests, kept for its room
};

namespace Vision {
VBASE_IMPEXP extern VisCollisionToolkit_cl CollisionToolkit;
}  // namespace Vision
