// The scene facts the navigation reads.
#include "util/NavigationTerrain.h"

#include "engine/core/VisWorld.h"
#include "engine/physics/VisPhysicsRaycastFirstResult.h"
#include "engine/physics/vPhysXModule.h"

bool NavigationTerrain::GetExtent(Extent& out) {
  if (!Vision::World.HasTerrain() || Vision::World.GetTerrainSizeX() <= 0.0f ||
      Vision::World.GetTerrainSizeY() <= 0.0f)
    return false;
  const VisVector_cl& origin = Vision::World.GetTerrainOrigin();
  out.originX = origin.x;
  out.originY = origin.y;
  out.originZ = origin.z;
  out.sizeX = Vision::World.GetTerrainSizeX();
  out.sizeY = Vision::World.GetTerrainSizeY();
  return true;
}

float NavigationTerrain::GroundHeight(float x, float y) {
  return Vision::World.HasTerrain() ? Vision::World.GetHeightAtWorldPos(x, y) : 0.0f;
}

bool NavigationTerrain::IsLineBlocked(const VisVector_cl& a, const VisVector_cl& b) {
  vPhysXModule* physics = vPhysXModule::GetInstance();
  if (!physics) return false;
  VisPhysicsRaycastFirstResult_cl ray;
  ray.vRayStart = a;
  ray.vRayEnd = b;
  physics->PerformRaycast(&ray);
  return ray.bHit;
}
