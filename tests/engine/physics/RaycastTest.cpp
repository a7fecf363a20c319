// Physics ray casts: hit kinds and objects, order, the two engine result records,
// the group filter.
#include "PhysicsFixture.h"

#include <vector>

namespace {

// Takes every hit and says whether to go on.
class RecordingRaycast : public VisPhysicsRaycastBase_cl {
 public:
  bool OnHit(const VisPhysicsHit_t& hit) override {
    hits.push_back(hit);
    return (int)hits.size() < stopAfter;
  }
  std::vector<VisPhysicsHit_t> hits;
  int stopAfter = 100;
};

// Leaves out the objects of one entity and one kind before they are tested, and notes
// what it was asked about.
class ChoosyRaycast : public RecordingRaycast {
 public:
  bool WantsHitOn(const VisPhysicsHit_t& candidate) const override {
    asked.push_back(candidate);
    return candidate.pHitObject != unwanted && candidate.eHitType != unwantedKind;
  }
  const VisTypedEngineObject_cl* unwanted = nullptr;
  int unwantedKind = VIS_PHYSICSHIT_NONE;
  mutable std::vector<VisPhysicsHit_t> asked;
};

class RaycastTest : public PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    Vision::World.SetFlatTerrain(0.0f);
    geometry = new VisStaticGeometryInstance_cl(VisVector_cl(10, 0, 1), VisVector_cl(2, 2, 2), VisMatrix3x3_cl());
    Vision::World.AddStaticGeometryInstance(geometry);
    crate = MakeEntity(VisVector_cl(20, 0, 0.5f));
    crateBody = AddBox(crate, VisVector_cl(1, 1, 1));
    crateBody->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
    soldier = MakeEntity(VisVector_cl(30, 0, 0));
    controller = new vPhysXCharacterController();
    soldier->AddComponent(controller);
  }
  VisStaticGeometryInstance_cl* geometry = nullptr;
  VisBaseEntity_cl *crate = nullptr, *soldier = nullptr;
  vPhysXRigidBody* crateBody = nullptr;
  vPhysXCharacterController* controller = nullptr;
};

}  // namespace

TEST_F(RaycastTest, UnfilteredRayMeetsEverythingNearestFirstOncePerObject) {
  RecordingRaycast ray;
  ray.vRayStart = VisVector_cl(0, 0, 0.5f);
  ray.vRayEnd = VisVector_cl(40, 0, 0.5f);
  EXPECT_TRUE(module->PerformRaycast(&ray));
  ASSERT_EQ(ray.hits.size(), 3u);

  EXPECT_EQ(ray.hits[0].eHitType, VIS_PHYSICSHIT_STATICGEOMETRY);
  EXPECT_EQ(ray.hits[0].pHitObject, geometry);
  EXPECT_EQ(ray.hits[0].pPhysicsObject, nullptr);
  EXPECT_NEAR(ray.hits[0].fHitDistance, 9.0f, 0.05f);
  EXPECT_NEAR(ray.hits[0].fHitFraction, 9.0f / 40.0f, 0.002f);
  EXPECT_TRUE(ray.hits[0].vImpactPoint.IsEqual(VisVector_cl(9, 0, 0.5f), 0.05f));
  EXPECT_TRUE(ray.hits[0].vImpactNormal.IsEqual(VisVector_cl(-1, 0, 0), 0.01f));

  EXPECT_EQ(ray.hits[1].eHitType, VIS_PHYSICSHIT_ENTITY);
  EXPECT_EQ(ray.hits[1].pHitObject, crate);
  EXPECT_EQ(ray.hits[1].pPhysicsObject, crateBody);
  EXPECT_NEAR(ray.hits[1].fHitDistance, 19.5f, 0.05f);

  EXPECT_EQ(ray.hits[2].eHitType, VIS_PHYSICSHIT_CONTROLLER);
  EXPECT_EQ(ray.hits[2].pHitObject, soldier);
  EXPECT_EQ(ray.hits[2].pPhysicsObject, controller);
  EXPECT_NEAR(ray.hits[2].fHitDistance, 29.7f, 0.05f);
  EXPECT_TRUE(IsPhysicsEntityHit(ray.hits[1].eHitType) && IsPhysicsEntityHit(ray.hits[2].eHitType));

  // Straight down onto the terrain.
  RecordingRaycast down;
  down.vRayStart = VisVector_cl(5, 5, 3);
  down.vRayEnd = VisVector_cl(5, 5, -3);
  EXPECT_TRUE(module->PerformRaycast(&down));
  ASSERT_EQ(down.hits.size(), 1u);
  EXPECT_EQ(down.hits[0].eHitType, VIS_PHYSICSHIT_TERRAIN);
  EXPECT_EQ(down.hits[0].pHitObject, nullptr);
  EXPECT_NEAR(down.hits[0].fHitFraction, 0.5f, 0.001f);
  EXPECT_TRUE(down.hits[0].vImpactNormal.IsEqual(VisVector_cl(0, 0, 1), 0.001f));

  // Nothing in the way; a ray of no length.
  RecordingRaycast none;
  none.vRayStart = VisVector_cl(0, 50, 1);
  none.vRayEnd = VisVector_cl(40, 50, 1);
  EXPECT_FALSE(module->PerformRaycast(&none));
  none.vRayEnd = none.vRayStart;
  EXPECT_FALSE(module->PerformRaycast(&none));
  EXPECT_TRUE(none.hits.empty());
  EXPECT_FALSE(module->PerformRaycast(nullptr));
}

TEST_F(RaycastTest, StoppingRecordsAndTheEngineRecordsKeepTheirHit) {
  RecordingRaycast stop;
  stop.stopAfter = 1;
  stop.vRayStart = VisVector_cl(40, 0, 0.5f);
  stop.vRayEnd = VisVector_cl(0, 0, 0.5f);
  module->PerformRaycast(&stop);
  ASSERT_EQ(stop.hits.size(), 1u);
  EXPECT_EQ(stop.hits[0].pHitObject, soldier);

  VisPhysicsRaycastClosestResult_cl closest;
  EXPECT_FLOAT_EQ(closest.closestHit.fHitFraction, 2.0f);
  closest.vRayStart = VisVector_cl(40, 0, 0.5f);
  closest.vRayEnd = VisVector_cl(0, 0, 0.5f);
  module->PerformRaycast(&closest);
  EXPECT_TRUE(closest.bHit);
  EXPECT_EQ(closest.iHitType, VIS_PHYSICSHIT_CONTROLLER);
  EXPECT_EQ(closest.pHitObject, soldier);
  // Given out of order, it still keeps the nearest.
  VisPhysicsHit_t nearer = closest.closestHit;
  nearer.fHitFraction = 0.01f;
  nearer.eHitType = VIS_PHYSICSHIT_TERRAIN;
  VisPhysicsHit_t farther = nearer;
  farther.fHitFraction = 0.5f;
  closest.OnHit(nearer);
  EXPECT_TRUE(closest.OnHit(farther));
  EXPECT_EQ(closest.iHitType, VIS_PHYSICSHIT_TERRAIN);
  EXPECT_FLOAT_EQ(closest.closestHit.fHitFraction, 0.01f);
  closest.Reset();
  EXPECT_FALSE(closest.bHit);
  EXPECT_EQ(closest.iHitType, VIS_PHYSICSHIT_NONE);
  EXPECT_EQ(closest.iCollisionFilter, -1);

  VisPhysicsRaycastFirstResult_cl first;
  first.vRayStart = VisVector_cl(0, 0, 0.5f);
  first.vRayEnd = VisVector_cl(40, 0, 0.5f);
  module->PerformRaycast(&first);
  EXPECT_TRUE(first.bHit);
  EXPECT_EQ(first.iHitType, VIS_PHYSICSHIT_STATICGEOMETRY);
  EXPECT_FALSE(first.OnHit(first.firstHit));
}

TEST_F(RaycastTest, TheFilterWordSelectsCollisionGroups) {
  crateBody->SetCollisionGroup(5);
  RecordingRaycast ray;
  ray.vRayStart = VisVector_cl(0, 0, 0.5f);
  ray.vRayEnd = VisVector_cl(40, 0, 0.5f);
  ray.iCollisionFilter = 1 << 5;
  module->PerformRaycast(&ray);
  ASSERT_EQ(ray.hits.size(), 1u);
  EXPECT_EQ(ray.hits[0].pHitObject, crate);

  // A body moved by the game is found where it now is, before any step.
  crateBody->SetPosition(VisVector_cl(3, 0, 0.5f));
  ray.hits.clear();
  module->PerformRaycast(&ray);
  ASSERT_EQ(ray.hits.size(), 1u);
  EXPECT_NEAR(ray.hits[0].fHitDistance, 2.5f, 0.05f);
}

TEST_F(PhysicsTest, HeightFieldRaysAgreeWithTheWorldHeightAndTraceLines) {
  const std::vector<float> h = {0, 1, 2, 0,  //
                                3, 6, 0, 1,  //
                                0, 2, -2, 0};
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-5, -5, 1), 30, 20, 4, 3, h));
  for (float x = -4.5f; x < 25.0f; x += 2.3f) {
    for (float y = -4.5f; y < 15.0f; y += 1.7f) {
      VisPhysicsRaycastClosestResult_cl ray;
      ray.vRayStart = VisVector_cl(x, y, 20);
      ray.vRayEnd = VisVector_cl(x, y, -20);
      ASSERT_TRUE(module->PerformRaycast(&ray)) << x << ", " << y;
      EXPECT_EQ(ray.closestHit.eHitType, VIS_PHYSICSHIT_TERRAIN);
      EXPECT_NEAR(ray.closestHit.vImpactPoint.z, Vision::World.GetHeightAtWorldPos(x, y), 1e-3f) << x << ", " << y;
      VisTraceLineInfo_t trace;
      Vision::CollisionToolkit.TraceLine(ray.vRayStart, ray.vRayEnd, 0xffffffff, VIS_TRACE_ALL, nullptr, nullptr, &trace);
      EXPECT_NEAR(trace.touchPoint.z, ray.closestHit.vImpactPoint.z, 1e-3f) << x << ", " << y;
    }
  }
}

TEST_F(RaycastTest, RecordsLeaveOutObjectsBeforeTheirTest) {
  ChoosyRaycast ray;
  ray.vRayStart = VisVector_cl(0, 0, 0.5f);
  ray.vRayEnd = VisVector_cl(40, 0, 0.5f);
  ray.unwanted = crate;
  ray.unwantedKind = VIS_PHYSICSHIT_STATICGEOMETRY;
  EXPECT_TRUE(module->PerformRaycast(&ray));
  ASSERT_EQ(ray.hits.size(), 1u);
  EXPECT_EQ(ray.hits[0].pHitObject, soldier);
  EXPECT_NEAR(ray.hits[0].fHitDistance, 29.7f, 0.05f);
  // It was asked with the kind and objects the hit would have carried.
  bool askedAboutCrate = false;
  for (const VisPhysicsHit_t& c : ray.asked)
    if (c.pHitObject == crate)
      askedAboutCrate = c.eHitType == VIS_PHYSICSHIT_ENTITY && c.pPhysicsObject == crateBody;
  EXPECT_TRUE(askedAboutCrate);

  // Leaving out all it would meet is meeting nothing.
  ChoosyRaycast down;
  down.vRayStart = VisVector_cl(5, 5, 3);
  down.vRayEnd = VisVector_cl(5, 5, -3);
  down.unwantedKind = VIS_PHYSICSHIT_TERRAIN;
  EXPECT_FALSE(module->PerformRaycast(&down));
  EXPECT_TRUE(down.hits.empty());
}

// Rays cast together meet the same things, in the same order, at the same places as
// each alone: a crowd of controllers and crates (two of them on one spot, for a tie),
// rays of every direction, one of length 0 and one that leaves the crate out, in a
// batch longer than one walk takes.
TEST_F(RaycastTest, RaysCastTogetherGiveWhatEachGivesAlone) {
  std::vector<VisBaseEntity_cl*> crowd;
  for (int i = 0; i < 36; ++i) {
    const VisVector_cl at((float)(i % 6) * 0.9f + 40.0f, (float)(i / 6) * 0.9f, 0.0f);
    crowd.push_back(MakeEntity(at));
    crowd.back()->AddComponent(new vPhysXCharacterController());
  }
  for (int i = 0; i < 2; ++i) AddBox(crowd.emplace_back(MakeEntity(VisVector_cl(42, 2, 0.5f))), VisVector_cl(1, 1, 1))
                                  ->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
  Step();

  std::vector<std::unique_ptr<ChoosyRaycast>> alone, together;
  for (int i = 0; i < 21; ++i) {
    for (auto* list : {&alone, &together}) {
      auto ray = std::make_unique<ChoosyRaycast>();
      const float turn = (float)i * 0.61f;
      ray->vRayStart = VisVector_cl(42.0f + (float)(i % 3) * 0.4f, 2.0f, 0.5f + (float)(i % 2) * 0.3f);
      ray->vRayEnd = i == 5 ? ray->vRayStart
                            : ray->vRayStart + VisVector_cl(std::cos(turn) * 6.0f, std::sin(turn) * 6.0f,
                                                            i % 4 == 0 ? -1.0f : 0.0f);
      if (i == 7) ray->unwanted = crowd.back();
      ray->stopAfter = i % 5 == 0 ? 1 : 100;
      list->push_back(std::move(ray));
    }
  }
  std::vector<VisPhysicsRaycastBase_cl*> queries;
  for (auto& ray : together) queries.push_back(ray.get());
  bool results[21];
  module->PerformRaycasts(queries.data(), (int)queries.size(), results);

  int hitSomething = 0;
  for (size_t i = 0; i < alone.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(results[i], module->PerformRaycast(alone[i].get()));
    const auto& a = alone[i]->hits;
    const auto& b = together[i]->hits;
    ASSERT_EQ(a.size(), b.size());
    hitSomething += !a.empty();
    for (size_t k = 0; k < a.size(); ++k) {
      EXPECT_EQ(a[k].eHitType, b[k].eHitType);
      EXPECT_EQ(a[k].pHitObject, b[k].pHitObject);
      EXPECT_EQ(a[k].pPhysicsObject, b[k].pPhysicsObject);
      EXPECT_EQ(a[k].fHitFraction, b[k].fHitFraction);
      EXPECT_TRUE(a[k].vImpactPoint == b[k].vImpactPoint && a[k].vImpactNormal == b[k].vImpactNormal);
    }
    EXPECT_EQ(alone[i]->asked.size(), together[i]->asked.size());
  }
  EXPECT_FALSE(results[5]);
  EXPECT_GT(hitSomething, 15);
}
