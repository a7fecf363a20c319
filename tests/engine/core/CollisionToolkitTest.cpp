// Trace lines: entity trace accuracies, hit types and order, ignores and masks,
// entity collections, and the terrain surface.
#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override { Vision::World.UnloadWorld(); }
  void TearDown() override { Vision::World.UnloadWorld(); }

  // An entity with a 2 x 2 x 2 model box centred on its origin.
  static VisBaseEntity_cl* MakeBoxEntity(const VisVector_cl& pos, float yaw, VisTraceAccuracy_e accuracy) {
    auto* e = new VisBaseEntity_cl();
    VDynamicMesh* mesh = new VDynamicMesh("cube.model");
    EXPECT_TRUE(mesh->LoadFromXml(R"(<model><bbox min="-1/-1/-1" max="1/1/1"/></model>)"));
    e->SetMesh(mesh);
    e->SetPosition(pos);
    e->SetOrientation(yaw, 0, 0);
    e->SetTraceAccuracy(accuracy);
    return e;
  }
};

}  // namespace

TEST_F(TraceTest, EachAccuracyTracesItsOwnShapeOfTheModelBox) {
  struct Case {
    const char* name;
    VisTraceAccuracy_e accuracy;
    bool hit;
    float entryX;  // where the trace along y = 0.5 enters
  };
  // A box turned by 45 degrees at x = 10: its axis-aligned box reaches 10 - 1.414, the
  // turned box itself 10 - (1.414 - 0.5), the sphere around it (radius 1.732) 10 - 1.658.
  const Case cases[] = {
      {"none", VIS_TRACEACC_NOCOLLISION, false, 0},
      {"axis-aligned box", VIS_TRACEACC_AABOX, true, 10.0f - 1.41421f},
      {"oriented box", VIS_TRACEACC_OBOX, true, 10.0f - 0.91421f},
      {"sphere", VIS_TRACEACC_SPHERE, true, 10.0f - 1.65831f},
      {"polygons as the oriented box", VIS_TRACEACC_POLYGONS, true, 10.0f - 0.91421f},
  };
  for (const Case& c : cases) {
    VisBaseEntity_cl* e = MakeBoxEntity(VisVector_cl(10, 0, 0), 45.0f, c.accuracy);
    VisTraceLineInfo_t info;
    const bool hit = Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0.5f, 0), VisVector_cl(20, 0.5f, 0), 0xffffffff,
                                                        VIS_TRACE_ALL, nullptr, nullptr, &info);
    EXPECT_EQ(hit, c.hit) << c.name;
    EXPECT_EQ(info.detected, c.hit) << c.name;
    if (c.hit) {
      EXPECT_TRUE(info.IsEntityHit()) << c.name;
      EXPECT_EQ(info.colliderEntity, e) << c.name;
      EXPECT_NEAR(info.touchPoint.x, c.entryX, 1e-3f) << c.name;
      EXPECT_NEAR(info.distance, c.entryX, 1e-3f) << c.name;
    }
    e->Remove();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(TraceTest, HitsComeNearestFirstWithTheirTypes) {
  Vision::World.SetFlatTerrain(0.0f);
  Vision::World.AddStaticGeometryInstance(
      new VisStaticGeometryInstance_cl(VisVector_cl(0, 0, 6), VisVector_cl(4, 4, 2), VisMatrix3x3_cl()));
  VisBaseEntity_cl* e = MakeBoxEntity(VisVector_cl(0, 0, 10), 0, VIS_TRACEACC_OBOX);

  VisTraceLineInfo_t out[4];
  out[3].detected = true;  // cleared by the trace
  ASSERT_TRUE(Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0, 20), VisVector_cl(0, 0, -5), 0xffffffff,
                                                 VIS_TRACE_ALL, nullptr, nullptr, out, 4));
  EXPECT_TRUE(out[0].IsEntityHit());
  EXPECT_EQ(out[0].hitType, 1);
  EXPECT_NEAR(out[0].distance, 9.0f, 1e-4f);
  EXPECT_TRUE(out[1].IsWorldHit());
  EXPECT_EQ(out[1].hitType, 2);
  EXPECT_EQ(out[1].colliderEntity, nullptr);
  EXPECT_NEAR(out[1].touchPoint.z, 7.0f, 1e-4f);
  EXPECT_TRUE(out[2].IsTerrainHit());
  EXPECT_EQ(out[2].hitType, 3);
  EXPECT_NEAR(out[2].touchPoint.z, 0.0f, 1e-4f);
  EXPECT_FALSE(out[3].detected);

  // The trace flags choose what is tested; ignored entities are skipped.
  VisTraceLineInfo_t one;
  Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0, 20), VisVector_cl(0, 0, -5), 0xffffffff, VIS_TRACE_TERRAIN,
                                     nullptr, nullptr, &one);
  EXPECT_TRUE(one.IsTerrainHit());
  Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0, 20), VisVector_cl(0, 0, -5), 0xffffffff, VIS_TRACE_ALL, nullptr,
                                     e, &one);
  EXPECT_TRUE(one.IsWorldHit());
  // Only the segment counts: one that stops short misses.
  EXPECT_FALSE(Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0, 20), VisVector_cl(0, 0, 12), 0xffffffff,
                                                  VIS_TRACE_ALL, nullptr, nullptr, &one));
  EXPECT_FALSE(one.detected);
}

TEST_F(TraceTest, MaskMatchesThePhysicsBitmaskAndCollectionsLimitTheEntities) {
  VisBaseEntity_cl* sinking = MakeBoxEntity(VisVector_cl(5, 0, 0), 0, VIS_TRACEACC_AABOX);
  VisBaseEntity_cl* plain = MakeBoxEntity(VisVector_cl(10, 0, 0), 0, VIS_TRACEACC_AABOX);
  auto* body = new vPhysXRigidBody();
  ASSERT_TRUE(sinking->AddComponent(body));
  body->SetCollisionBitmask(8);

  VisTraceLineInfo_t info;
  Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0, 0), VisVector_cl(20, 0, 0), 3, VIS_TRACE_ALL, nullptr, nullptr,
                                     &info);
  EXPECT_EQ(info.colliderEntity, plain);
  Vision::CollisionToolkit.TraceLine(VisVector_cl(0, 0, 0), VisVector_cl(20, 0, 0), 8, VIS_TRACE_ALL, nullptr, nullptr,
                                     &info);
  EXPECT_EQ(info.colliderEntity, sinking);

  VisEntityCollection_cl only;
  only.Append(plain);
  ASSERT_TRUE(Vision::CollisionToolkit.TraceLineEntities(VisVector_cl(0, 0, 0), VisVector_cl(20, 0, 0), only, &info));
  EXPECT_EQ(info.colliderEntity, plain);
  plain->Remove();
  EXPECT_FALSE(Vision::CollisionToolkit.TraceLineEntities(VisVector_cl(0, 0, 0), VisVector_cl(20, 0, 0), only, &info));
  Vision::Game.FreeRemovedEntities();
}

TEST_F(TraceTest, TerrainTraceMeetsTheHeightFieldSurfaceFromEitherSide) {
  // Heights with a peak and a pit, 4 x 3 samples over 30 x 20 units from (-5, -5, 1).
  const std::vector<float> h = {0, 1, 2, 0,  //
                                3, 6, 0, 1,  //
                                0, 2, -2, 0};
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-5, -5, 1), 30, 20, 4, 3, h));
  EXPECT_FLOAT_EQ(Vision::World.GetHeightAtWorldPos(5, 5), 7.0f);  // a sample: 6 + origin 1
  EXPECT_FLOAT_EQ(Vision::World.GetHeightAtWorldPos(-100, -100), 1.0f);  // clamped to the corner
  // Inside a cell: the triangle below the diagonal from (x+1, y) to (x, y+1).
  EXPECT_FLOAT_EQ(Vision::World.GetHeightAtWorldPos(-2.5f, -2.5f), 1.0f + 0.25f * 1 + 0.25f * 3);
  EXPECT_FLOAT_EQ(Vision::World.GetHeightAtWorldPos(2.5f, 2.5f), 1.0f + 6 + 0.25f * (3 - 6) + 0.25f * (1 - 6));

  // Slanting traces, from above and from below: the touch point lies on the surface.
  struct Case {
    VisVector_cl from, to;
  };
  const Case cases[] = {{{-5, -4, 12}, {25, 14, -8}}, {{24, 14, -8}, {-4, -4, 12}}, {{0, 0, 20}, {0.1f, 0.2f, -20}}};
  for (const Case& c : cases) {
    VisTraceLineInfo_t info;
    ASSERT_TRUE(Vision::CollisionToolkit.TraceLine(c.from, c.to, 0xffffffff, VIS_TRACE_TERRAIN, nullptr, nullptr, &info));
    EXPECT_TRUE(info.IsTerrainHit());
    EXPECT_NEAR(info.touchPoint.z, Vision::World.GetHeightAtWorldPos(info.touchPoint.x, info.touchPoint.y), 1e-3f);
  }
  // Beside the field there is no terrain.
  VisTraceLineInfo_t info;
  EXPECT_FALSE(Vision::CollisionToolkit.TraceLine(VisVector_cl(50, 50, 20), VisVector_cl(50, 50, -20), 0xffffffff,
                                                  VIS_TRACE_ALL, nullptr, nullptr, &info));
}

namespace {

// Every entity hit by the segment, nearest first and in table order when equally near,
// each tested on its own through the uncached path.
std::vector<std::pair<float, VisBaseEntity_cl*>> EveryHit(const VisVector_cl& from, const VisVector_cl& to) {
  std::vector<std::pair<float, VisBaseEntity_cl*>> hits;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
    if (!e) continue;
    VisEntityCollection_cl one;
    one.Append(e);
    VisTraceLineInfo_t info;
    if (Vision::CollisionToolkit.TraceLineEntities(from, to, one, &info)) hits.push_back({info.distance, e});
  }
  std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return hits;
}

}  // namespace

TEST_F(TraceTest, KeptBoxesFindWhatTestingEveryEntityFindsWhileEntitiesChange) {
  // Boxes of every accuracy, turned and scaled, two in the same place, one without a
  // model, on a 6 x 5 grid; segments between random points of the area.
  const VisTraceAccuracy_e accuracies[] = {VIS_TRACEACC_AABOX, VIS_TRACEACC_OBOX, VIS_TRACEACC_SPHERE,
                                           VIS_TRACEACC_POLYGONS, VIS_TRACEACC_NOCOLLISION};
  std::vector<VisBaseEntity_cl*> boxes;
  for (int i = 0; i < 30; ++i) {
    VisBaseEntity_cl* e = MakeBoxEntity(VisVector_cl((i % 6) * 4.0f, (i / 6) * 4.0f, 0), i * 37.0f, accuracies[i % 5]);
    e->SetOrientation(i * 37.0f, (i % 3) * 20.0f, (i % 4) * 15.0f);
    e->SetScaling(VisVector_cl(1.0f + (i % 3) * 0.5f, i % 7 == 0 ? -1.0f : 1.0f, 0.5f + (i % 2)));
    boxes.push_back(e);
  }
  MakeBoxEntity(boxes[7]->GetPosition(), 0, VIS_TRACEACC_AABOX);  // the same place as a box before it
  (new VisBaseEntity_cl())->SetTraceAccuracy(VIS_TRACEACC_OBOX);  // no model: nothing to hit

  unsigned seed = 12345u;
  auto random = [&seed](float lo, float hi) {
    seed = seed * 1664525u + 1013904223u;
    return lo + (hi - lo) * (float)(seed >> 8) / 16777216.0f;
  };
  auto compare = [&](const char* round) {
    for (int k = 0; k < 300; ++k) {
      const VisVector_cl from(random(-3, 24), random(-3, 20), random(-3, 3)), to(random(-3, 24), random(-3, 20), random(-3, 3));
      const auto expected = EveryHit(from, to);
      VisTraceLineInfo_t out[40];
      const bool hit = Vision::CollisionToolkit.TraceLine(from, to, 0xffffffff, VIS_TRACE_ENTITIES, nullptr, nullptr, out, 40);
      ASSERT_EQ(hit, !expected.empty()) << round << " segment " << k;
      for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(out[i].colliderEntity, expected[i].second) << round << " segment " << k << " hit " << i;
        ASSERT_EQ(out[i].distance, expected[i].first) << round << " segment " << k << " hit " << i;
      }
      ASSERT_FALSE(out[expected.size()].detected) << round << " segment " << k;
    }
  };
  compare("as made");

  // Moved, turned, scaled, another model, another accuracy, gone, following a parent.
  boxes[0]->SetPosition(VisVector_cl(10, 10, 1));
  boxes[1]->SetOrientation(80, 10, 0);
  boxes[2]->SetScaling(3.0f);
  VDynamicMesh* wide = new VDynamicMesh("wide.model");
  ASSERT_TRUE(wide->LoadFromXml(R"(<model><bbox min="-3/-1/-1" max="3/1/1"/></model>)"));
  boxes[3]->SetMesh(wide);
  boxes[4]->SetTraceAccuracy(VIS_TRACEACC_OBOX);
  boxes[5]->SetTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
  delete boxes[6];
  boxes[8]->Remove();
  boxes[9]->AttachToParent(boxes[10]);
  boxes[10]->SetPosition(VisVector_cl(2, 15, 0));
  boxes[10]->SetOrientation(-60, 0, 0);
  compare("after changes");

  // A pose that is not a number is tested by every trace, as the uncached path does.
  boxes[11]->SetPosition(VisVector_cl(NAN, 0, 0));
  compare("with a pose that is not a number");
  Vision::Game.FreeRemovedEntities();
}
