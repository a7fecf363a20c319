// The terrain's height field for Bullet. While a character controller steps it hands
// a query only the triangles that can touch the query's box, and over a level patch
// one triangle in the patch's plane instead of the patch's own triangles, so that the
// controller's sweeps and contacts test as little as they need; every other query gets
// Bullet's own selection.
#pragma once

#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>

// Heights in rows of 'samplesX' (x fastest), z up, cells split by the diagonal from
// (x + 1, y) to (x, y + 1), as Bullet's own height field splits them.
class vPhysXHeightField : public btHeightfieldTerrainShape {
 public:
  vPhysXHeightField(int samplesX, int samplesY, const float* heights, float minHeight, float maxHeight);

  // Within Bullet's selection, the triangles that come within a small slack of the box,
  // in Bullet's order; or, when all of them lie in one level plane, one triangle (two at
  // the field's edge) in that plane reaching beyond the box by at least its height.
  void processAllTriangles(btTriangleCallback* callback, const btVector3& aabbMin,
                           const btVector3& aabbMax) const override;

  // Controllers step inside one; scopes nest.
  class TightScope {
   public:
    TightScope() { ++s_iTightScopes; }
    ~TightScope() { --s_iTightScopes; }
    TightScope(const TightScope&) = delete;
    TightScope& operator=(const TightScope&) = delete;
  };

  // Room around the query box, in world units: more than Bullet's contact distance.
  static constexpr float kSlack = 0.1f;

 private:
  static int s_iTightScopes;
};
