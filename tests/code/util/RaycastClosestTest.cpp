// The closest-hit ray record with its filter of hit kinds and its ignored object.
#include "util/RaycastCanSee.h"
#include "util/RaycastClosest.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

VisPhysicsHit_t Hit(int kind, float fraction, VisTypedEngineObject_cl* object = nullptr) {
  VisPhysicsHit_t hit;
  hit.eHitType = kind;
  hit.fHitFraction = fraction;
  hit.fHitDistance = fraction * 10.0f;
  hit.vImpactPoint = VisVector_cl(fraction * 10.0f, 0, 0);
  hit.vImpactNormal = VisVector_cl(-1, 0, 0);
  hit.pHitObject = object;
  hit.pPhysicsObject = reinterpret_cast<vPhysXObject*>(object);
  return hit;
}

TEST(RaycastClosest, FilterFlagsChooseTheKindsThatCount) {
  VisBaseEntity_cl* ignored = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* other = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  const unsigned entities = RaycastCanSee::BLOCK_ENTITIES, geometry = RaycastCanSee::BLOCK_STATIC_GEOMETRY,
                 terrain = RaycastCanSee::BLOCK_TERRAIN;
  struct Case {
    int kind;
    VisTypedEngineObject_cl* object;
    unsigned flags;
    bool kept;
  };
  const Case cases[] = {
      {VIS_PHYSICSHIT_ENTITY, other, 0, false},
      {VIS_PHYSICSHIT_ENTITY, other, entities, true},
      {VIS_PHYSICSHIT_CONTROLLER, other, entities, true},
      {VIS_PHYSICSHIT_ENTITY, ignored, entities, false},
      {VIS_PHYSICSHIT_CONTROLLER, ignored, entities | geometry | terrain, false},
      {VIS_PHYSICSHIT_STATICGEOMETRY, nullptr, entities | terrain, false},
      {VIS_PHYSICSHIT_STATICGEOMETRY, nullptr, geometry, true},
      {VIS_PHYSICSHIT_TERRAIN, nullptr, entities | geometry, false},
      {VIS_PHYSICSHIT_TERRAIN, nullptr, terrain, true},
      // Kinds outside the filter always count.
      {7, nullptr, 0, true},
      {1, other, 0, true},
  };
  for (const Case& c : cases) {
    RaycastClosest ray;
    ray.pIgnoreEntity = ignored;
    ray.iBlockMask = c.flags;
    EXPECT_EQ(ray.WantsHitOn(Hit(c.kind, 0.5f, c.object)), c.kept) << c.kind << " " << c.flags;
    EXPECT_TRUE(ray.OnHit(Hit(c.kind, 0.5f, c.object)));  // the cast always goes on
    EXPECT_EQ(ray.bHit, c.kept) << c.kind << " " << c.flags;
    if (!c.kept) continue;
    EXPECT_EQ(ray.iHitKind, c.kind);
    EXPECT_EQ(ray.pHitEntity, c.object);
    EXPECT_EQ(ray.pHitPhysicsObject, reinterpret_cast<vPhysXObject*>(c.object));
  }
  Vision::Game.RemoveAllEntities();
}

TEST(RaycastClosest, KeepsTheNearestHitAndResetsToNoHit) {
  RaycastClosest ray;
  EXPECT_FALSE(ray.bHit);
  EXPECT_EQ(ray.fHitDistance, 999999.875f);
  EXPECT_EQ(ray.iCollisionFilter, -1);
  ray.iBlockMask = RaycastCanSee::BLOCK_TERRAIN;
  ray.OnHit(Hit(VIS_PHYSICSHIT_TERRAIN, 0.7f));
  ray.OnHit(Hit(VIS_PHYSICSHIT_TERRAIN, 0.3f));
  ray.OnHit(Hit(VIS_PHYSICSHIT_TERRAIN, 0.5f));
  EXPECT_TRUE(ray.bHit);
  EXPECT_FLOAT_EQ(ray.closestHit.fHitFraction, 0.3f);
  EXPECT_FLOAT_EQ(ray.fHitDistance, 3.0f);
  EXPECT_TRUE(ray.vHitPoint.IsEqual(VisVector_cl(3, 0, 0), 1e-5f));
  EXPECT_TRUE(ray.vHitNormal.IsEqual(VisVector_cl(-1, 0, 0), 1e-5f));

  ray.vRayStart = VisVector_cl(1, 2, 3);
  ray.Reset();
  EXPECT_FALSE(ray.bHit);
  EXPECT_EQ(ray.fHitDistance, 999999.875f);
  EXPECT_EQ(ray.iBlockMask, 0u);
  EXPECT_EQ(ray.pIgnoreEntity, nullptr);
  EXPECT_EQ(ray.iHitKind, VIS_PHYSICSHIT_NONE);
  EXPECT_EQ(ray.pHitPhysicsObject, nullptr);
  EXPECT_EQ(ray.vRayStart, VisVector_cl(1, 2, 3));  // the ray itself stays
}

}  // namespace
