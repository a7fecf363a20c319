// Path following: waypoints filled one step apart, the walk along reached nodes,
// scene paths followed from the nearest node (round closed ones), the scene paths
// never taken as nearest, the reversed path, and the owner's attachment rule.
#include "components/BasePathComponent.h"
#include "components/UnitPathComponent.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts the times it is told the next target changed.
class ProbePathComponent : public BasePathComponent {
 public:
  ProbePathComponent(float step, float reach) : BasePathComponent(step, reach, false) {}
  void UpdateOwner() override { ++ownerUpdates; }
  int ownerUpdates = 0;
};

class PathComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_owner = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
    m_path = new ProbePathComponent(5.0f, 1.5f);
    ASSERT_TRUE(m_owner->AddComponent(m_path));
  }
  void TearDown() override {
    Vision::Game.RemoveAllScenePaths();
    Vision::Game.RemoveAllEntities();
  }

  std::vector<VisVector_cl> Nodes() const {
    std::vector<VisVector_cl> out;
    VisPath_cl* path = m_path->GetPath();
    for (int i = 0; i < path->GetPathNodeCount(); ++i) out.push_back(path->GetPathNode(i)->GetPosition());
    return out;
  }
  // A scene path through the points, under the key.
  static VisPath_cl* AddScenePath(const char* key, const std::vector<VisVector_cl>& points, bool closed = false) {
    VisPath_cl* path = new VisPath_cl((int)points.size(), closed);
    path->SetObjectKey(key);
    for (const VisVector_cl& p : points) path->AddPathNode(VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
    Vision::Game.AddScenePath(path);
    return path;
  }

  VisBaseEntity_cl* m_owner = nullptr;
  ProbePathComponent* m_path = nullptr;
};

void ExpectNodesAt(const std::vector<VisVector_cl>& nodes, const std::vector<VisVector_cl>& expected) {
  ASSERT_EQ(nodes.size(), expected.size());
  for (size_t i = 0; i < nodes.size(); ++i)
    EXPECT_TRUE(nodes[i].IsEqual(expected[i], 1e-4f)) << i << ": " << nodes[i].x << ", " << nodes[i].y;
}

TEST_F(PathComponentTest, GapsAreFilledOneStepApartUpToTheWaypoint) {
  m_path->AddWaypoint(VisVector_cl(0, 0, 0), false);
  m_path->AddWaypoint(VisVector_cl(12, 0, 0), false);
  ExpectNodesAt(Nodes(), {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {12, 0, 0}});
  // Exactly one step away: appended as it is.
  m_path->AddWaypoint(VisVector_cl(12, 5, 0), false);
  EXPECT_EQ(m_path->GetPath()->GetPathNodeCount(), 5);
  EXPECT_EQ(m_path->GetEndPosition(), VisVector_cl(12, 5, 0));
  // Every node is linear with both control vertices at (-8, 0, 0).
  const VisPathNode_cl* node = m_path->GetPath()->GetPathNode(1);
  EXPECT_EQ(node->GetType(), VIS_PATHNODE_LINEAR);
  EXPECT_EQ(node->GetControlVertexIn(), VisVector_cl(-8, 0, 0));
  EXPECT_EQ(node->GetControlVertexOut(), VisVector_cl(-8, 0, 0));
  EXPECT_EQ(m_path->GetAddedPositions().size(), 5u);
}

TEST_F(PathComponentTest, InterpolationStopsAt120NodesButTheWaypointStillGoesOn) {
  m_path->AddWaypoint(VisVector_cl(0, 0, 0), false);
  m_path->AddWaypoint(VisVector_cl(1000, 0, 0), false);
  const std::vector<VisVector_cl> nodes = Nodes();
  ASSERT_EQ(nodes.size(), 121u);
  EXPECT_EQ(nodes[119], VisVector_cl(595, 0, 0));
  EXPECT_EQ(nodes[120], VisVector_cl(1000, 0, 0));
}

TEST_F(PathComponentTest, NearestNodeIsSoughtAmongNodesOneToNineOnly) {
  for (int i = 0; i < 15; ++i) m_path->AddWaypoint(VisVector_cl(5.0f * i, 0, 0), false);
  EXPECT_EQ(m_path->GetNearestNodeIndex(VisVector_cl(70, 0, 0)), 9);
  EXPECT_EQ(m_path->GetNearestNodeIndex(VisVector_cl(0, 0, 0)), 1);  // node 0 is the owner's
  ProbePathComponent empty(5.0f, 1.5f);
  empty.ClearPath();
  EXPECT_EQ(empty.GetNearestNodeIndex(VisVector_cl(0, 0, 0)), -1);
}

TEST_F(PathComponentTest, ReachedNodesAreDroppedAndTheReplacedPathReleased) {
  m_path->AddWaypoint(VisVector_cl(0, 0, 0), false);
  m_path->AddWaypoint(VisVector_cl(12, 0, 0), false);
  VSmartPtr<VisPath_cl> before = m_path->GetPath();
  m_owner->SetPosition(VisVector_cl(5.2f, 0, 0));
  m_path->UpdateTick();
  // Node 1 (at 5) was within reach: the path now starts at the owner and goes on to 10 and 12.
  ExpectNodesAt(Nodes(), {{5.2f, 0, 0}, {10, 0, 0}, {12, 0, 0}});
  EXPECT_EQ(m_path->ownerUpdates, 1);
  EXPECT_NE(m_path->GetPath(), before.GetPtr());
  EXPECT_EQ(before->GetRefCount(), 1);  // only this test still holds the old path
  EXPECT_EQ(m_path->GetNextPosition(), VisVector_cl(10, 0, 0));

  // A path down to the owner's own node goes at the next tick.
  m_owner->SetPosition(VisVector_cl(11.5f, 0, 0));
  m_path->UpdateTick();
  m_path->UpdateTick();
  EXPECT_EQ(m_path->GetPath()->GetPathNodeCount(), 0);
  EXPECT_EQ(m_path->ownerUpdates, 3);  // 12 reached (the nearer), then the path gone
  EXPECT_FALSE(m_path->IsFollowingPath());
  EXPECT_EQ(m_path->GetEndPosition(), VisVector_cl(0, 0, 0));
}

TEST_F(PathComponentTest, ClosedScenePathIsFollowedRoundFromTheNearestNode) {
  const std::vector<VisVector_cl> ring = {{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {8, 4, 0}, {4, 4, 0}, {0, 4, 0}};
  VisPath_cl* scene = AddScenePath("patrol", ring, true);
  m_owner->SetPosition(VisVector_cl(8, 7, 0));  // nearest to node 3, not within reach
  ASSERT_TRUE(m_path->FollowPath(scene));
  ExpectNodesAt(Nodes(), {{8, 7, 0}, ring[3], ring[4], ring[5], ring[0], ring[1], ring[2]});
  EXPECT_FLOAT_EQ(m_path->GetReachDistance(), 2.0f);

  // An open path does not wrap.
  VisPath_cl* open = AddScenePath("line", ring, false);
  ASSERT_TRUE(m_path->FollowPath(open));
  ExpectNodesAt(Nodes(), {{8, 7, 0}, ring[3], ring[4], ring[5]});

  // By key, and the refusals.
  EXPECT_TRUE(m_path->FollowPath("patrol"));
  EXPECT_FALSE(m_path->FollowPath("missing"));
  EXPECT_FALSE(m_path->FollowPath(AddScenePath("single", {{0, 0, 0}})));
}

TEST_F(PathComponentTest, ExcludedScenePathsAreNeverTheNearest) {
  AddScenePath("CameraBounds", {{0, 0, 0}, {1, 0, 0}});
  AddScenePath("landing_zone", {{0, 1, 0}, {1, 1, 0}});
  AddScenePath("MonkeyPath", {{0, 2, 0}, {1, 2, 0}});
  AddScenePath("", {{0, 3, 0}, {1, 3, 0}});
  EXPECT_EQ(m_path->FindNearestPath(VisVector_cl(0, 0, 0)), nullptr);
  VisPath_cl* far = AddScenePath("far", {{50, 50, 0}, {60, 50, 0}});
  VisPath_cl* near = AddScenePath("near", {{20, 0, 0}, {30, 0, 0}});
  EXPECT_EQ(m_path->FindNearestPath(VisVector_cl(0, 0, 0)), near);
  EXPECT_EQ(m_path->FindNearestPath(VisVector_cl(70, 50, 0)), far);
  EXPECT_TRUE(m_path->FollowNearestPath());
  EXPECT_EQ(m_path->GetEndPosition(), VisVector_cl(30, 0, 0));
}

TEST_F(PathComponentTest, ReversedPathUsesEveryPositionAddedSoFar) {
  m_path->MakePathTo(VisVector_cl(3, 0, 0), true);
  m_path->MakePathTo(VisVector_cl(0, 3, 0), true);
  // Owner, (3, 0), owner, (0, 3): the positions of both calls, last first.
  m_path->ReversePath();
  ExpectNodesAt(Nodes(), {{0, 3, 0}, {0, 0, 0}, {3, 0, 0}, {0, 0, 0}});
  ExpectNodesAt(m_path->GetAddedPositions(), {{0, 3, 0}, {0, 0, 0}, {3, 0, 0}, {0, 0, 0}});
}

TEST_F(PathComponentTest, CopiedPathIsShiftedByTheOffset) {
  VisPath_cl* scene = AddScenePath("route", {{0, 0, 0}, {4, 0, 0}, {8, 0, 0}});
  m_owner->SetPosition(VisVector_cl(-1, 3, 0));
  m_path->CopyPath(scene, VisVector_cl(0, 3, 0), false);
  ExpectNodesAt(Nodes(), {{-1, 3, 0}, {4, 3, 0}, {8, 3, 0}});
  EXPECT_EQ(m_path->GetAddedPositions().size(), 0u);
}

TEST_F(PathComponentTest, CurrentNodeMovesAndTheOwnerMustBeA3DObject) {
  m_path->AddWaypoint(VisVector_cl(0, 0, 0), false);
  m_path->AddWaypoint(VisVector_cl(4, 0, 0), false);
  m_path->SetCurrentNodePosition(VisVector_cl(2, 2, 0));
  EXPECT_EQ(m_path->GetNextPosition(), VisVector_cl(2, 2, 0));
  EXPECT_FLOAT_EQ(m_path->GetPath()->GetCachedLength(), -1.0f);

  VString reason;
  UnitPathComponent unitPath;
  VisTypedEngineObject_cl plain;
  EXPECT_EQ(unitPath.CanAttachToObject(&plain, reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of VisObject3D_cl or derived classes.");
  EXPECT_EQ(unitPath.CanAttachToObject(m_owner, reason), 1);
  EXPECT_FALSE(unitPath.IsPerFrame());
  EXPECT_FLOAT_EQ(unitPath.GetReachDistance(), 2.0f);
}

}  // namespace
