// The terrain-only ray record: it keeps the nearest terrain hit and lets the cast
// pass through everything else.
#include "util/RaycastTerrain.h"

#include "engine/Vision.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/physics/vPhysXModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

VisPhysicsHit_t Hit(int kind, float fraction, const VisVector_cl& point) {
  VisPhysicsHit_t hit;
  hit.eHitType = kind;
  hit.fHitFraction = fraction;
  hit.fHitDistance = fraction * 10.0f;
  hit.vImpactPoint = point;
  hit.vImpactNormal = VisVector_cl(0, 0, 1);
  return hit;
}

TEST(RaycastTerrain, KeepsTheNearestTerrainHitAndSkipsEveryOtherKind) {
  RaycastTerrain ray;
  EXPECT_FALSE(ray.bHit);
  EXPECT_EQ(ray.fHitFraction, 2.0f);
  for (int kind : {(int)VIS_PHYSICSHIT_ENTITY, (int)VIS_PHYSICSHIT_CONTROLLER, (int)VIS_PHYSICSHIT_STATICGEOMETRY, 7}) {
    EXPECT_FALSE(ray.WantsHitOn(Hit(kind, 0.1f, VisVector_cl(0, 0, 0))));
    EXPECT_TRUE(ray.OnHit(Hit(kind, 0.1f, VisVector_cl(1, 1, 1))));  // the cast goes on
  }
  EXPECT_FALSE(ray.bHit);
  EXPECT_EQ(ray.fHitFraction, 2.0f);

  EXPECT_TRUE(ray.WantsHitOn(Hit(VIS_PHYSICSHIT_TERRAIN, 0.0f, VisVector_cl(0, 0, 0))));
  EXPECT_TRUE(ray.OnHit(Hit(VIS_PHYSICSHIT_TERRAIN, 0.7f, VisVector_cl(7, 0, 0))));
  EXPECT_TRUE(ray.OnHit(Hit(VIS_PHYSICSHIT_TERRAIN, 0.3f, VisVector_cl(3, 0, 0))));
  EXPECT_TRUE(ray.OnHit(Hit(VIS_PHYSICSHIT_TERRAIN, 0.5f, VisVector_cl(5, 0, 0))));
  EXPECT_TRUE(ray.bHit);
  EXPECT_EQ(ray.fHitFraction, 0.3f);
  EXPECT_EQ(ray.vHitPoint, VisVector_cl(3, 0, 0));
  EXPECT_EQ(ray.iHitKind, VIS_PHYSICSHIT_TERRAIN);

  ray.Reset();
  EXPECT_FALSE(ray.bHit);
  EXPECT_EQ(ray.fHitFraction, 2.0f);
  EXPECT_EQ(ray.iHitKind, VIS_PHYSICSHIT_NONE);
}

TEST(RaycastTerrain, CastThroughABlockFindsTheGroundBelowIt) {
  Vision::World.UnloadWorld();
  Vision::World.SetFlatTerrain(2.0f);
  auto physics = std::make_unique<vPhysXModule>();
  vPhysXModule::SetInstance(physics.get());
  VisMatrix3x3_cl identity;
  identity.SetIdentity();
  Vision::World.AddStaticGeometryInstance(
      new VisStaticGeometryInstance_cl(VisVector_cl(0, 0, 5), VisVector_cl(4, 4, 2), identity));

  RaycastTerrain ray;
  ray.vRayStart = VisVector_cl(0, 0, 20);
  ray.vRayEnd = VisVector_cl(0, 0, -10);
  physics->PerformRaycast(&ray);
  EXPECT_TRUE(ray.bHit);
  EXPECT_NEAR(ray.vHitPoint.z, 2.0f, 1e-3f);
  EXPECT_NEAR(ray.vHitNormal.z, 1.0f, 1e-3f);

  // Beside the ground: nothing.
  RaycastTerrain above;
  above.vRayStart = VisVector_cl(0, 0, 20);
  above.vRayEnd = VisVector_cl(0, 0, 10);
  physics->PerformRaycast(&above);
  EXPECT_FALSE(above.bHit);
  EXPECT_EQ(above.fHitFraction, 2.0f);

  vPhysXModule::SetInstance(nullptr);
  physics.reset();
  Vision::World.UnloadWorld();
  Vision::World.ClearTerrain();
}

}  // namespace
