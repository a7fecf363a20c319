// What the navigation needs of the scene: the terrain's extent and height, and
// whether a physics ray is blocked between two points.
#pragma once

#include "engine/base/VisMath.h"

class NavigationTerrain {
 public:
  struct Extent {
    float originX = 0.0f, originY = 0.0f, originZ = 0.0f;  // the corner of least x and y
    float sizeX = 0.0f, sizeY = 0.0f;
  };
  // False when the scene has no terrain of known extent (none, or an endless flat one).
  static bool GetExtent(Extent& out);
  // The ground's height at (x, y); 0 without a terrain.
  static float GroundHeight(float x, float y);
  // The same where the terrain is loaded there, else 0 (the stand-in keeps all of it loaded).
  static float GroundHeightIfLoaded(float x, float y) { return GroundHeight(x, y); }
  // Whether a physics ray from a to b hits anything; false without the physics module.
  static bool IsLineBlocked(const VisVector_cl& a, const VisVector_cl& b);
};
