// Paths: nodes, evaluation by segment and by length, open and closed paths, the
// cached length, the saved form and scene paths.
#include "engine/Vision.h"
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

namespace {

VSmartPtr<VisPath_cl> MakePath(std::initializer_list<VisVector_cl> points, bool closed = false) {
  VSmartPtr<VisPath_cl> path = new VisPath_cl((int)points.size(), closed);
  for (const VisVector_cl& p : points)
    path->AddPathNode(VisPathNode_cl(p, VisVector_cl(-8, 0, 0), VisVector_cl(-8, 0, 0)));
  return path;
}

::testing::AssertionResult Near(const VisVector_cl& a, const VisVector_cl& b) {
  if (a.IsEqual(b, 1e-3f)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x << ", "
                                       << b.y << ", " << b.z << ")";
}

TEST(PathTest, NodesAreKeptInOrderAndReachedByIndex) {
  VSmartPtr<VisPath_cl> path = MakePath({{0, 0, 0}, {5, 0, 0}, {10, 0, 0}});
  EXPECT_EQ(path->GetPathNodeCount(), 3);
  EXPECT_TRUE(path->GetPathNode(1, 0)->GetPosition() == VisVector_cl(5, 0, 0));
  EXPECT_TRUE(path->GetPathNode(1, 0)->GetControlVertexOut() == VisVector_cl(-8, 0, 0));
  EXPECT_EQ(path->GetPathNode(1, 0)->GetType(), VIS_PATHNODE_LINEAR);
  EXPECT_EQ(path->GetPathNode(3), nullptr);
  EXPECT_EQ(path->GetPathNode(-1), nullptr);
  EXPECT_TRUE(path->GetPathNode(4, true)->GetPosition() == VisVector_cl(5, 0, 0));
  EXPECT_TRUE(path->GetPathNode(-1, true)->GetPosition() == VisVector_cl(10, 0, 0));

  // A node shared by two paths lives as long as either holds it.
  VSmartPtr<VisPathNode_cl> node = path->GetPathNode(0);
  path->DeleteAllPathNodes();
  EXPECT_EQ(path->GetPathNodeCount(), 0);
  EXPECT_EQ(node->GetRefCount(), 1);
  EXPECT_EQ(path->GetPathNode(0, true), nullptr);
  EXPECT_TRUE(path->EvalPoint(0.5f) == VisVector_cl(0, 0, 0)) << "an empty path";
}

TEST(PathTest, EvalPointSharesTAmongSegmentsAndSmoothRunsEvenlyAlongTheLength) {
  // A short first segment (1) and a long second one (9).
  VSmartPtr<VisPath_cl> path = MakePath({{0, 0, 0}, {1, 0, 0}, {1, 9, 0}});
  struct Case {
    float t;
    VisVector_cl byPoint, bySmooth;
  } cases[] = {
      {0.0f, {0, 0, 0}, {0, 0, 0}},
      {0.25f, {0.5f, 0, 0}, {1, 1.5f, 0}},
      {0.5f, {1, 0, 0}, {1, 4, 0}},
      {1.0f, {1, 9, 0}, {1, 9, 0}},
      {-3.0f, {0, 0, 0}, {0, 0, 0}},  // an open path clamps
      {7.0f, {1, 9, 0}, {1, 9, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Near(path->EvalPoint(c.t), c.byPoint)) << "EvalPoint " << c.t;
    EXPECT_TRUE(Near(path->EvalPointSmooth(c.t), c.bySmooth)) << "EvalPointSmooth " << c.t;
  }
  EXPECT_NEAR(path->GetLength(), 10.0f, 1e-4f);

  VSmartPtr<VisPath_cl> single = MakePath({{3, 4, 5}});
  EXPECT_TRUE(single->EvalPoint(0.7f) == VisVector_cl(3, 4, 5));
  EXPECT_TRUE(single->EvalPointSmooth(0.7f) == VisVector_cl(3, 4, 5));
}

TEST(PathTest, ClosedPathRunsBackToItsStartAndWrapsT) {
  VSmartPtr<VisPath_cl> square = MakePath({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, true);
  EXPECT_TRUE(square->IsClosed());
  EXPECT_NEAR(square->GetLength(), 40.0f, 1e-3f);
  EXPECT_TRUE(Near(square->EvalPoint(0.875f), VisVector_cl(0, 5, 0))) << "the closing segment";
  EXPECT_TRUE(Near(square->EvalPointSmooth(1.125f), VisVector_cl(5, 0, 0)));
  EXPECT_TRUE(Near(square->EvalPointSmooth(-0.25f), VisVector_cl(0, 10, 0)));
  EXPECT_TRUE(Near(square->EvalPoint(1.0f), VisVector_cl(0, 0, 0)));

  square->SetClosed(false);
  EXPECT_NEAR(square->GetLength(), 30.0f, 1e-3f) << "opening it measures again";
}

TEST(PathTest, BezierNodesCurveTheSegment) {
  VSmartPtr<VisPath_cl> path = new VisPath_cl();
  path->AddPathNode(VisPathNode_cl({0, 0, 0}, {0, 0, 0}, {0, 4, 0}, VIS_PATHNODE_BEZIER));
  path->AddPathNode(VisPathNode_cl({8, 0, 0}, {0, 4, 0}, {0, 0, 0}, VIS_PATHNODE_BEZIER));
  // Half way: (p0 + 3 p1 + 3 p2 + p3) / 8 with p1 = (0, 4), p2 = (8, 4).
  EXPECT_TRUE(Near(path->EvalPoint(0.5f), VisVector_cl(4, 3, 0)));
  EXPECT_GT(path->GetLength(), 8.5f);
  EXPECT_TRUE(Near(path->EvalPointSmooth(0.5f), VisVector_cl(4, 3, 0))) << "symmetric curve";
}

TEST(PathTest, MovedNodesCountOnlyAfterTheCachedLengthIsInvalidated) {
  VSmartPtr<VisPath_cl> path = MakePath({{0, 0, 0}, {10, 0, 0}});
  EXPECT_FLOAT_EQ(path->GetCachedLength(), -1.0f);
  EXPECT_EQ(path->GetCachedSampleCount(), -1);
  EXPECT_NEAR(path->GetLength(), 10.0f, 1e-4f);
  EXPECT_GT(path->GetCachedSampleCount(), 0);

  path->GetPathNode(1)->SetPosition(VisVector_cl(20, 0, 0));
  EXPECT_NEAR(path->GetLength(), 10.0f, 1e-4f) << "kept until invalidated";
  path->InvalidateCachedLength();
  EXPECT_FLOAT_EQ(path->GetCachedLength(), -1.0f);
  EXPECT_EQ(path->GetCachedSampleCount(), -1);
  EXPECT_NEAR(path->GetLength(), 20.0f, 1e-4f);
  EXPECT_TRUE(Near(path->EvalPointSmooth(0.5f), VisVector_cl(10, 0, 0)));

  path->AddPathNode(VisPathNode_cl({20, 5, 0}, {}, {}));
  EXPECT_NEAR(path->GetLength(), 25.0f, 1e-4f) << "adding a node measures again";
}

TEST(PathTest, SavedPathRoundTripsAndHostileCountsFailTheArchive) {
  VSmartPtr<VisPath_cl> original = MakePath({{1, 2, 3}, {4, 5, 6}}, true);
  original->SetObjectKey("Patrol");
  original->GetPathNode(1)->SetType(VIS_PATHNODE_BEZIER);
  VSmartPtr<VisPath_cl> fresh = new VisPath_cl();
  auto save = [](VisPath_cl& p, VArchive& ar) { p.Serialize(ar); };
  auto load = [](VisPath_cl& p, VArchive& ar) { p.Serialize(ar); };
  ASSERT_TRUE(archive_test::RoundTrip(*original, *fresh, save, load));
  EXPECT_STREQ(fresh->GetObjectKey(), "Patrol");
  EXPECT_TRUE(fresh->IsClosed());
  ASSERT_EQ(fresh->GetPathNodeCount(), 2);
  EXPECT_TRUE(fresh->GetPathNode(1)->GetPosition() == VisVector_cl(4, 5, 6));
  EXPECT_EQ(fresh->GetPathNode(1)->GetType(), VIS_PATHNODE_BEZIER);

  // Through an object reference, as a component saves its path.
  archive_test::Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar << original.GetPtr(); });
  VSmartPtr<VisPath_cl> read;
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) {
    VisPath_cl* p = nullptr;
    ar >> p;
    read = p;
  }));
  ASSERT_NE(read.GetPtr(), nullptr);
  EXPECT_EQ(read->GetPathNodeCount(), 2);

  // A node count the rest of the block cannot hold.
  archive_test::Bytes hostile = archive_test::SaveBytes([&](VArchive& ar) {
    VisPath_cl empty;
    empty.VisTypedEngineObject_cl::Serialize(ar);
    ar << (char)1 << false << 0x7fffffff;
  });
  LogCapture log;
  archive_test::ReadArchive ar(hostile);
  VSmartPtr<VisPath_cl> victim = MakePath({{9, 9, 9}});
  victim->Serialize(*ar);
  EXPECT_FALSE(ar->IsOK());
  EXPECT_EQ(victim->GetPathNodeCount(), 1) << "a refused block changes nothing";
  EXPECT_TRUE(log.Contains("damaged path"));
}

TEST(ScenePathTest, ScenePathsLoadByKeyAndGoWithTheWorld) {
  ScratchDataFolder data;
  data.Write("scenes/paths.vscene", R"(<scene>
      <path key="Patrol" closed="1">
        <node position="0/0/0"/><node position="10/0/0"/><node position="10/10/0" in="-1/0/0" out="1/0/0"/>
      </path>
      <path key="CameraBounds"><node position="-50/-50/0"/><node position="50/50/0"/></path>
      <path><node position="1/1/1"/></path>
    </scene>)");
  data.Write("scenes/badpath.vscene", R"(<scene><path key="X"><node position="1/2"/></path></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes/paths.vscene"));
  ASSERT_EQ(Vision::Game.GetScenePathCount(), 3);
  VisPath_cl* patrol = Vision::Game.SearchPath("Patrol");
  ASSERT_NE(patrol, nullptr);
  EXPECT_TRUE(patrol->IsClosed());
  EXPECT_EQ(patrol->GetPathNodeCount(), 3);
  EXPECT_EQ(patrol->GetPathNode(0)->GetType(), VIS_PATHNODE_LINEAR);
  EXPECT_EQ(patrol->GetPathNode(2)->GetType(), VIS_PATHNODE_BEZIER);
  EXPECT_TRUE(patrol->GetPathNode(2)->GetControlVertexIn() == VisVector_cl(-1, 0, 0));
  EXPECT_EQ(Vision::Game.SearchPath("patrol"), nullptr) << "keys compare exactly";
  EXPECT_FALSE(Vision::Game.GetScenePath(1)->IsClosed());
  EXPECT_STREQ(Vision::Game.GetScenePath(2)->GetObjectKey(), "");

  // A script reads a path object through its wrapper class.
  lua_State* L = Vision::GetScriptManager()->GetMasterState();
  LUA_PushObjectProxy(L, patrol);
  EXPECT_EQ(LUA_GetNativeObject(L, -1, &VisPath_cl_info), patrol);
  EXPECT_EQ(LUA_GetNativeObject(L, -1, &VisBaseEntity_info), nullptr);
  lua_pop(L, 1);

  VSmartPtr<VisPath_cl> kept = patrol;
  {
    LogCapture log;
    EXPECT_FALSE(Vision::LoadWorld("scenes/badpath.vscene"));
    EXPECT_TRUE(log.Contains("path node position \"1/2\""));
  }
  EXPECT_EQ(Vision::Game.GetScenePathCount(), 3) << "a refused scene leaves the world as it was";

  Vision::LoadWorld(nullptr);
  EXPECT_EQ(Vision::Game.GetScenePathCount(), 0);
  EXPECT_EQ(Vision::Game.SearchPath("Patrol"), nullptr);
  EXPECT_EQ(kept->GetPathNodeCount(), 3) << "a path someone holds outlives the scene";
}

}  // namespace
