// Trace lines against entity boxes, static geometry boxes and the terrain.
#include "engine/core/VisCollisionToolkit.h"

#include "engine/core/VisGame.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisWorld.h"
#include "engine/physics/vPhysXObject.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Vision {
VisCollisionToolkit_cl CollisionToolkit;
}  // namespace Vision

namespace {

struct TraceHit {
  float fraction;
  int type;
  VisBaseEntity_cl* entity;
};

// Room left around the cached boxes for the rounding of the exact tests.
constexpr float kBoundsSlack = 1e-4f;

// Segment start + t (end - start), t in [0, 1], against an axis-aligned box.
bool SegmentBox(const VisVector_cl& s, const VisVector_cl& d, const VisVector_cl& mn, const VisVector_cl& mx,
                float& t) {
  float t0 = 0.0f, t1 = 1.0f;
  for (int i = 0; i < 3; ++i) {
    if (std::fabs(d[i]) < 1e-12f) {
      if (s[i] < mn[i] || s[i] > mx[i]) return false;
      continue;
    }
    float a = (mn[i] - s[i]) / d[i], b = (mx[i] - s[i]) / d[i];
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    if (t0 > t1) return false;
  }
  t = t0;
  return true;
}

bool SegmentSphere(const VisVector_cl& s, const VisVector_cl& d, const VisVector_cl& c, float r, float& t) {
  const VisVector_cl m = s - c;
  const float cc = m.Dot(m) - r * r;
  if (cc <= 0.0f) {
    t = 0.0f;
    return true;
  }
  const float a = d.Dot(d), b = m.Dot(d);
  if (a <= 0.0f || b >= 0.0f) return false;
  const float disc = b * b - a * cc;
  if (disc < 0.0f) return false;
  t = (-b - std::sqrt(disc)) / a;
  return t <= 1.0f;
}

// The model box scaled by the entity's scaling (invalid without a model box).
VisBoundingBox_cl ScaledLocalBox(const VisBaseEntity_cl* e) {
  VisBoundingBox_cl local;
  e->GetBoundingBox(local);
  return local.GetScaled(e->GetScaling());
}

// A world box around everything TraceEntity can hit of the entity (invalid when it
// can hit nothing); a little larger, so that it only ever rejects true misses.
VisBoundingBox_cl TraceBounds(const VisBaseEntity_cl* e) {
  VisBoundingBox_cl world;
  const VisTraceAccuracy_e accuracy = e->GetTraceAccuracy();
  if (accuracy == VIS_TRACEACC_NOCOLLISION) return world;
  const VisBoundingBox_cl box = ScaledLocalBox(e);
  if (!box.IsValid()) return world;
  const VisMatrix3x3_cl& r = e->GetRotationMatrix();
  const VisVector_cl centre = e->GetPosition() + r * box.GetCenter();
  const VisVector_cl half = box.GetExtent() * 0.5f;
  VisVector_cl reach;
  if (accuracy == VIS_TRACEACC_SPHERE) {
    const float radius = half.GetLength();
    reach = VisVector_cl(radius, radius, radius);
  } else {
    // The turned box reaches |r| times its half size from its centre along each axis.
    for (int i = 0; i < 3; ++i)
      reach[i] = std::fabs(r(i, 0)) * half.x + std::fabs(r(i, 1)) * half.y + std::fabs(r(i, 2)) * half.z;
  }
  world = VisBoundingBox_cl(centre - reach, centre + reach);
  const float size = std::max({std::fabs(world.m_vMin.x), std::fabs(world.m_vMin.y), std::fabs(world.m_vMin.z),
                               std::fabs(world.m_vMax.x), std::fabs(world.m_vMax.y), std::fabs(world.m_vMax.z)});
  const float slack = kBoundsSlack * (1.0f + size);
  world.m_vMin -= VisVector_cl(slack, slack, slack);
  world.m_vMax += VisVector_cl(slack, slack, slack);
  // A box that is not finite rejects nothing.
  for (int i = 0; i < 3; ++i)
    if (!std::isfinite(world.m_vMin[i]) || !std::isfinite(world.m_vMax[i])) {
      world.m_vMin = VisVector_cl(-INFINITY, -INFINITY, -INFINITY);
      world.m_vMax = VisVector_cl(INFINITY, INFINITY, INFINITY);
      break;
    }
  return world;
}

bool TraceEntity(const VisBaseEntity_cl* e, const VisVector_cl& start, const VisVector_cl& end, float& t) {
  const VisTraceAccuracy_e accuracy = e->GetTraceAccuracy();
  if (accuracy == VIS_TRACEACC_NOCOLLISION) return false;
  const VisBoundingBox_cl box = ScaledLocalBox(e);
  if (!box.IsValid()) return false;
  const VisMatrix3x3_cl& r = e->GetRotationMatrix();
  const VisVector_cl centre = e->GetPosition() + r * box.GetCenter();
  const VisVector_cl half = box.GetExtent() * 0.5f;
  switch (accuracy) {
    case VIS_TRACEACC_AABOX: {
      VisBoundingBox_cl world;
      for (int i = 0; i < 8; ++i)
        world.ExpandToInclude(centre + r * VisVector_cl((i & 1) ? half.x : -half.x, (i & 2) ? half.y : -half.y,
                                                        (i & 4) ? half.z : -half.z));
      return SegmentBox(start, end - start, world.m_vMin, world.m_vMax, t);
    }
    case VIS_TRACEACC_SPHERE:
      return SegmentSphere(start, end - start, centre, half.GetLength(), t);
    default: {
      // Oriented box (polygons are traced as the oriented box too).
      const VisMatrix3x3_cl inv = r.GetTransposed();
      return SegmentBox(inv * (start - centre), inv * (end - start), -half, half, t);
    }
  }
}

// First point where the segment meets the terrain surface (from either side).
bool TraceTerrain(const VisVector_cl& start, const VisVector_cl& end, float& t) {
  const VisWorld_cl& w = Vision::World;
  if (!w.HasTerrain()) return false;
  const VisVector_cl d = end - start;
  if (!w.IsHeightFieldTerrain()) {
    const float h = w.GetFlatTerrainHeight();
    const float f0 = start.z - h, f1 = end.z - h;
    if (f0 == 0.0f) {
      t = 0.0f;
      return true;
    }
    if ((f0 > 0.0f) == (f1 > 0.0f) && f1 != 0.0f) return false;
    t = f0 / (f0 - f1);
    return true;
  }
  // The surface is linear along the segment between the places where it crosses a
  // grid line or a cell diagonal: test the pieces between those breakpoints.
  const VisVector_cl& o = w.GetTerrainOrigin();
  const float cx = w.GetTerrainSizeX() / (w.GetTerrainSamplesX() - 1);
  const float cy = w.GetTerrainSizeY() / (w.GetTerrainSamplesY() - 1);
  const float u0 = (start.x - o.x) / cx, du = d.x / cx;
  const float v0 = (start.y - o.y) / cy, dv = d.y / cy;
  const float umax = (float)(w.GetTerrainSamplesX() - 1), vmax = (float)(w.GetTerrainSamplesY() - 1);
  float ta = 0.0f, tb = 1.0f;
  if (!SegmentBox(VisVector_cl(u0, v0, 0), VisVector_cl(du, dv, 0), VisVector_cl(0, 0, -1), VisVector_cl(umax, vmax, 1), ta))
    return false;
  {
    // Exit parameter: the same test backwards.
    float back = 0.0f;
    SegmentBox(VisVector_cl(u0 + du, v0 + dv, 0), VisVector_cl(-du, -dv, 0), VisVector_cl(0, 0, -1),
               VisVector_cl(umax, vmax, 1), back);
    tb = 1.0f - back;
  }
  std::vector<float> ts{ta, tb};
  auto addCrossings = [&](float a0, float da) {
    if (std::fabs(da) < 1e-12f) return;
    const float a = a0 + da * ta, b = a0 + da * tb;
    for (float k = std::ceil(std::min(a, b)); k <= std::floor(std::max(a, b)); k += 1.0f) {
      const float tk = (k - a0) / da;
      if (tk > ta && tk < tb) ts.push_back(tk);
    }
  };
  addCrossings(u0, du);
  addCrossings(v0, dv);
  addCrossings(u0 + v0, du + dv);
  std::sort(ts.begin(), ts.end());
  auto f = [&](float tt) {
    const VisVector_cl p = start + d * tt;
    return p.z - w.GetHeightAtWorldPos(p.x, p.y);
  };
  float fPrev = f(ts[0]);
  if (fPrev == 0.0f) {
    t = ts[0];
    return true;
  }
  for (size_t i = 1; i < ts.size(); ++i) {
    const float fi = f(ts[i]);
    if (fi == 0.0f || (fi > 0.0f) != (fPrev > 0.0f)) {
      t = ts[i - 1] + (ts[i] - ts[i - 1]) * (fPrev / (fPrev - fi));
      return true;
    }
    fPrev = fi;
  }
  return false;
}

bool MaskMatches(const VisBaseEntity_cl* e, unsigned mask) {
  IVisPhysicsObject_cl* physics = e->GetPhysicsObject();
  if (!physics || !physics->IsOfType(vPhysXObject::GetClassTypeId())) return true;
  return (static_cast<vPhysXObject*>(physics)->GetCollisionBitmask() & mask) != 0;
}

void Fill(const VisVector_cl& start, const VisVector_cl& end, std::vector<TraceHit>& hits, VisTraceLineInfo_t* out,
          int count) {
  std::stable_sort(hits.begin(), hits.end(), [](const TraceHit& a, const TraceHit& b) { return a.fraction < b.fraction; });
  if (!out) return;
  const float length = (end - start).GetLength();
  for (int i = 0; i < count; ++i) {
    VisTraceLineInfo_t& info = out[i];
    info = VisTraceLineInfo_t();
    if (i >= (int)hits.size()) continue;
    info.detected = true;
    info.distance = hits[i].fraction * length;
    info.touchPoint = start + (end - start) * hits[i].fraction;
    info.colliderEntity = hits[i].entity;
    info.hitType = hits[i].type;
  }
}

}  // namespace

bool VisCollisionToolkit_cl::TraceLine(const VisVector_cl& start, const VisVector_cl& end, unsigned mask,
                                       unsigned flags, const VisObject3D_cl* ignoreA, const VisObject3D_cl* ignoreB,
                                       VisTraceLineInfo_t* out, int maxResults) {
  std::vector<TraceHit> hits;
  float t = 0.0f;
  if (flags & VIS_TRACE_ENTITIES) {
    // Only the listed entities can be hit; their cached boxes reject the far ones.
    VisTraceCandidates_cl& candidates = Vision::Game.GetTraceCandidates();
    if (candidates.HasStale()) candidates.Refresh(&TraceBounds);
    VisVector_cl lo(std::min(start.x, end.x), std::min(start.y, end.y), std::min(start.z, end.z));
    VisVector_cl hi(std::max(start.x, end.x), std::max(start.y, end.y), std::max(start.z, end.z));
    for (int i = 0; i < 3; ++i)
      if (!std::isfinite(start[i]) || !std::isfinite(end[i])) lo[i] = hi[i] = NAN;  // test them all
    std::vector<VisBaseEntity_cl*>& near = m_near;
    near.clear();
    candidates.Collect(lo, hi, near);
    for (VisBaseEntity_cl* e : near) {
      if (e->IsMarkedRemoved() || e == ignoreA || e == ignoreB || !MaskMatches(e, mask)) continue;
      if (TraceEntity(e, start, end, t)) hits.push_back({t, VisTraceLineInfo_t::HIT_ENTITY, e});
    }
    // Table order, which the nearest-first sort keeps for equally near hits.
    std::sort(hits.begin(), hits.end(),
              [](const TraceHit& a, const TraceHit& b) { return a.entity->GetNumber() < b.entity->GetNumber(); });
  }
  if (flags & VIS_TRACE_STATICGEOMETRY) {
    VisVector_cl normal;
    for (int i = 0; i < Vision::World.GetStaticGeometryInstanceCount(); ++i)
      if (Vision::World.GetStaticGeometryInstance(i)->IntersectSegment(start, end, t, normal))
        hits.push_back({t, VisTraceLineInfo_t::HIT_STATIC_GEOMETRY, nullptr});
  }
  if ((flags & VIS_TRACE_TERRAIN) && TraceTerrain(start, end, t))
    hits.push_back({t, VisTraceLineInfo_t::HIT_TERRAIN, nullptr});
  Fill(start, end, hits, out, std::clamp(maxResults, 1, (int)MAX_TRACE_RESULTS));
  return !hits.empty();
}

bool VisCollisionToolkit_cl::TraceLineEntities(const VisVector_cl& start, const VisVector_cl& end,
                                               const VisEntityCollection_cl& entities, VisTraceLineInfo_t* out) {
  std::vector<TraceHit> hits;
  float t = 0.0f;
  for (VisBaseEntity_cl* e : entities)
    if (e && !e->IsMarkedRemoved() && TraceEntity(e, start, end, t))
      hits.push_back({t, VisTraceLineInfo_t::HIT_ENTITY, e});
  Fill(start, end, hits, out, 1);
  return !hits.empty();
}

bool VisCollisionToolkit_cl::IntersectTerrain(const VisVector_cl& start, const VisVector_cl& end, float& fraction) {
  return TraceTerrain(start, end, fraction);
}

bool VisCollisionToolkit_cl::TraceLineStaticGeometry(const VisVector_cl& start, const VisVector_cl& end,
                                                     const std::vector<VisStaticGeometryInstance_cl*>& geometry,
                                                     VisTraceLineInfo_t* out) {
  std::vector<TraceHit> hits;
  float t = 0.0f;
  VisVector_cl normal;
  for (VisStaticGeometryInstance_cl* g : geometry)
    if (g && g->IntersectSegment(start, end, t, normal)) hits.push_back({t, VisTraceLineInfo_t::HIT_STATIC_GEOMETRY, nullptr});
  Fill(start, end, hits, out, 1);
  return !hits.empty();
}
