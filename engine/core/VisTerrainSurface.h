// The terrain's surface as a static geometry instance of type 2, so that traces
// over the visible static geometry (the pick ray of a click) find the ground. It
// reads the world's terrain when asked; Vision::World owns the one instance.
#pragma once

#include "engine/core/VisStaticGeometryInstance.h"

class VBASE_IMPEXP VisTerrainSurface_cl : public VisStaticGeometryInstance_cl {
  V_DECLARE_DYNAMIC(VisTerrainSurface_cl)
 public:
  VisTerrainSurface_cl();

  // The height field's box; a flat terrain reaches kFlatExtent each way.
  void GetBoundingBox(VisBoundingBox_cl& out) const override;
  // The first crossing of the surface; the normal is the surface's upward normal.
  bool IntersectSegment(const VisVector_cl& start, const VisVector_cl& end, float& fraction,
                        VisVector_cl& normal) const override;

  static constexpr float kFlatExtent = 1.0e6f;
};
