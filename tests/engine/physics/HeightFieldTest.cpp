// The terrain's height field as controllers see it: its narrower choice of triangles
// sweeps and touches like Bullet's own height field.
#include "engine/physics/bullet/vPhysXHeightField.h"

#include <btBulletCollisionCommon.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Field {
  const char* name;
  int nx, ny;
  float sx, sy;
  std::vector<float> heights;
};

struct Closest : btCollisionWorld::ClosestConvexResultCallback {
  Closest() : ClosestConvexResultCallback(btVector3(0, 0, 0), btVector3(0, 0, 0)) {}
};

struct Deepest : btCollisionWorld::ContactResultCallback {
  btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper*, int, int,
                           const btCollisionObjectWrapper*, int, int) override {
    depth = std::min(depth, point.getDistance());
    return 0;
  }
  btScalar depth = 1e9f;
};

struct Triangles : btTriangleCallback {
  void processTriangle(btVector3* t, int part, int index) override {
    for (int i = 0; i < 3; ++i) corners.push_back(t[i]);
    ids.push_back(part * 100000 + index);
  }
  std::vector<btVector3> corners;
  std::vector<int> ids;
};

// Level, a tilted plane, bumps, a level field with one raised corner, tiny cells.
std::vector<Field> Fields() {
  std::vector<Field> fields = {
      {"level", 2, 2, 400.0f, 400.0f, {0, 0, 0, 0}},
      {"tilted", 4, 3, 10.0f, 8.0f, {0, 1, 2, 3, 0.5f, 1.5f, 2.5f, 3.5f, 1, 2, 3, 4}},
      {"bumps", 5, 4, 3.0f, 2.0f, {0, 1.5f, 0.2f, 2, 0, 1, 0, 1, 0.5f, 2, 0.3f, 0, 1.2f, 0, 0.7f, 1, 0, 2, 1, 0}},
      {"level with a raised corner", 4, 4, 6.0f, 6.0f, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3.5f}},
      {"tiny cells", 6, 6, 0.05f, 0.08f, std::vector<float>(36, 1.0f)},
  };
  fields[4].heights[20] = 1.02f;
  return fields;
}

}  // namespace

TEST(HeightFieldTest, SweepsAndShallowContactsMatchBulletsOwnField) {
  btDefaultCollisionConfiguration config;
  btCollisionDispatcher dispatcher(&config);
  btDbvtBroadphase broadphase;
  btCollisionWorld world(&dispatcher, &broadphase, &config);
  btCapsuleShapeZ capsule(0.3f, 0.9f);
  vPhysXHeightField::TightScope tight;
  unsigned seed = 99u;
  auto random = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return (float)(seed >> 8) / 16777216.0f;
  };
  for (const Field& f : Fields()) {
    const float lo = *std::min_element(f.heights.begin(), f.heights.end());
    const float hi = *std::max_element(f.heights.begin(), f.heights.end());
    btHeightfieldTerrainShape bullets(f.nx, f.ny, f.heights.data(), lo, hi, 2, false);
    vPhysXHeightField ours(f.nx, f.ny, f.heights.data(), lo, hi);
    bullets.setLocalScaling(btVector3(f.sx, f.sy, 1));
    ours.setLocalScaling(btVector3(f.sx, f.sy, 1));
    btCollisionObject a, b, probe;
    a.setCollisionShape(&bullets);
    b.setCollisionShape(&ours);
    probe.setCollisionShape(&capsule);
    // Places over the field and a little beyond its edges.
    // The field's heights are centred on its origin.
    const float w = (f.nx - 1) * f.sx, l = (f.ny - 1) * f.sy, top = (hi - lo) * 0.5f;
    int hits = 0, contacts = 0;
    for (int k = 0; k < 600; ++k) {
      const btVector3 at((random() - 0.5f) * std::min(w * 1.1f, w + 4.0f), (random() - 0.5f) * std::min(l * 1.1f, l + 4.0f),
                         (random() - 0.5f) * (hi - lo + 2.0f));
      // A sweep down and sideways from clear above the surface, as a controller's
      // steps go.
      const btTransform from(btQuaternion::getIdentity(), btVector3(at.x(), at.y(), top + 0.8f + random()));
      const btTransform to(btQuaternion::getIdentity(), at + btVector3(random() - 0.5f, random() - 0.5f, -1.0f));
      Closest sa, sb;
      btCollisionWorld::objectQuerySingle(&capsule, from, to, &a, &bullets, a.getWorldTransform(), sa, 0);
      btCollisionWorld::objectQuerySingle(&capsule, from, to, &b, &ours, b.getWorldTransform(), sb, 0);
      ASSERT_EQ(sa.hasHit(), sb.hasHit()) << f.name << " sweep " << k;
      if (sa.hasHit()) {
        ++hits;
        EXPECT_NEAR(sa.m_closestHitFraction, sb.m_closestHitFraction, 2e-3f) << f.name << " sweep " << k;
        EXPECT_NEAR(sa.m_hitNormalWorld.z(), sb.m_hitNormalWorld.z(), 1e-2f) << f.name << " sweep " << k;
      }
      // Touching or sunk in a little, over the field: the depth the controller pushes
      // out by.
      const btVector3 over(std::clamp(at.x(), 0.3f - w * 0.5f, w * 0.5f - 0.3f),
                           std::clamp(at.y(), 0.3f - l * 0.5f, l * 0.5f - 0.3f), at.z());
      probe.setWorldTransform(btTransform(btQuaternion::getIdentity(), over));
      Deepest ca, cb;
      world.contactPairTest(&probe, &a, ca);
      world.contactPairTest(&probe, &b, cb);
      if (ca.depth < 0.0f && ca.depth > -0.1f) {
        ++contacts;
        EXPECT_NEAR(ca.depth, cb.depth, 1e-4f) << f.name << " contact " << k;
      }
    }
    EXPECT_GT(hits, 100) << f.name;
    EXPECT_GT(contacts, 5) << f.name;
  }
}

TEST(HeightFieldTest, OutsideAScopeItHandsBulletsOwnTriangles) {
  const std::vector<float> h = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  btHeightfieldTerrainShape bullets(3, 3, h.data(), 0.0f, 8.0f, 2, false);
  vPhysXHeightField ours(3, 3, h.data(), 0.0f, 8.0f);
  bullets.setLocalScaling(btVector3(10, 20, 1));
  ours.setLocalScaling(btVector3(10, 20, 1));
  const btVector3 lo(-0.1f, -0.1f, 0.5f), hi(0.1f, 0.1f, 0.7f);
  Triangles a, b;
  bullets.processAllTriangles(&a, lo, hi);
  ours.processAllTriangles(&b, lo, hi);
  EXPECT_EQ(a.ids, b.ids);
  EXPECT_EQ(a.corners, b.corners);
  {
    vPhysXHeightField::TightScope tight;
    Triangles c;
    ours.processAllTriangles(&c, lo, hi);
    EXPECT_LT(c.ids.size(), a.ids.size());
  }
  Triangles d;
  ours.processAllTriangles(&d, lo, hi);
  EXPECT_EQ(d.ids, a.ids);
}
