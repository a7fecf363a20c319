// The terrain's surface for static geometry traces.
#include "engine/core/VisTerrainSurface.h"

#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisWorld.h"

#include <algorithm>

V_IMPLEMENT_DYNAMIC(VisTerrainSurface_cl, VisStaticGeometryInstance_cl)

VisTerrainSurface_cl::VisTerrainSurface_cl()
    : VisStaticGeometryInstance_cl(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), VisMatrix3x3_cl()) {}

void VisTerrainSurface_cl::GetBoundingBox(VisBoundingBox_cl& out) const {
  out.SetInvalid();
  const VisWorld_cl& w = Vision::World;
  if (!w.HasTerrain()) return;
  if (!w.IsHeightFieldTerrain()) {
    const float h = w.GetFlatTerrainHeight();
    out = VisBoundingBox_cl(VisVector_cl(-kFlatExtent, -kFlatExtent, h), VisVector_cl(kFlatExtent, kFlatExtent, h));
    return;
  }
  const VisVector_cl& o = w.GetTerrainOrigin();
  const auto [lo, hi] = std::minmax_element(w.GetTerrainHeights().begin(), w.GetTerrainHeights().end());
  out = VisBoundingBox_cl(VisVector_cl(o.x, o.y, o.z + *lo),
                          VisVector_cl(o.x + w.GetTerrainSizeX(), o.y + w.GetTerrainSizeY(), o.z + *hi));
}

bool VisTerrainSurface_cl::IntersectSegment(const VisVector_cl& start, const VisVector_cl& end, float& fraction,
                                            VisVector_cl& normal) const {
  if (!VisCollisionToolkit_cl::IntersectTerrain(start, end, fraction)) return false;
  const VisVector_cl p = start + (end - start) * fraction;
  // The slope from the heights a small step either way.
  const float e = 0.05f;
  const VisWorld_cl& w = Vision::World;
  const float dx = w.GetHeightAtWorldPos(p.x + e, p.y) - w.GetHeightAtWorldPos(p.x - e, p.y);
  const float dy = w.GetHeightAtWorldPos(p.x, p.y + e) - w.GetHeightAtWorldPos(p.x, p.y - e);
  normal = VisVector_cl(-dx, -dy, 2.0f * e).GetNormalized();
  return true;
}
