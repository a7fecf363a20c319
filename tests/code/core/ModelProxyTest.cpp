// Shared model proxies: lookup without regard to case, loading directly or after a
// resource list, the unload rule with the keep flag, and the teardown.
#include "core/VModelProxy.h"
#include "core/VModelScheduler.h"

#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

namespace {

class ModelProxyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data.WriteModel("models/barrel.model");
    data.WriteModel("models/crate.model");
  }
  void TearDown() override {
    ShutdownModelProxies();
    Vision::Game.PurgeUnusedMeshes();
  }
  // One per-frame advance of the scheduler.
  static void Frame() {
    IVisCallbackDataObject_cl data(&Vision::Callbacks.OnFrameUpdatePreRender);
    VModelScheduler::GlobalManager().OnHandleCallback(&data);
  }
  ScratchDataFolder data;
};

TEST_F(ModelProxyTest, NamesInAnyCaseShareOneProxy) {
  VModelProxy* a = GetModelProxy("Models\\Barrel.MODEL");
  VModelProxy* b = GetModelProxy("models\\barrel.model");
  EXPECT_EQ(a, b);
  EXPECT_EQ(FindModelProxy("MODELS\\BARREL.model"), a);
  EXPECT_EQ(FindModelProxy("models\\crate.model"), nullptr);
  EXPECT_EQ(VModelScheduler::GlobalManager().GetProxyCount(), 1);
  EXPECT_EQ(a->GetRefCount(), 1) << "only the scheduler's reference until a user adds one";
  EXPECT_STREQ(a->GetModelFile(), "Models\\Barrel.MODEL");
}

TEST_F(ModelProxyTest, WithoutResourceListTheModelLoadsAtOnce) {
  VModelProxy* p = GetModelProxy("models/barrel.model");
  EXPECT_FALSE(p->IsRequested());
  EXPECT_FALSE(p->IsLoaded());
  p->EnsureLoaded();
  EXPECT_TRUE(p->IsRequested());
  EXPECT_FALSE(p->IsSnapshotListRead());
  ASSERT_TRUE(p->IsLoaded());
  EXPECT_EQ(p->GetMesh(), Vision::Game.LoadDynamicMesh("models/barrel.model"));

  // A model that cannot be loaded leaves the mesh empty.
  VModelProxy* missing = GetModelProxy("models/none.model");
  missing->EnsureLoaded();
  EXPECT_TRUE(missing->IsRequested());
  EXPECT_FALSE(missing->IsLoaded());
}

TEST_F(ModelProxyTest, ResourceListLoadsOneResourcePerFrameBeforeTheMesh) {
  data.Write("textures/barrel.dds", "x");
  data.Write("textures/barrel_n.dds", "x");
  data.Write("models/barrel.model_data/resources.xml",
             "<resources><resource file=\"textures/barrel.dds\"/><resource file=\"textures/barrel_n.dds\"/></resources>");
  VModelProxy* p = GetModelProxy("models/barrel.model");
  p->EnsureLoaded();
  EXPECT_TRUE(p->IsSnapshotListRead());
  EXPECT_EQ(p->GetResourceCount(), 2);
  EXPECT_FALSE(p->IsLoaded()) << "the mesh waits for its resources";

  Frame();
  EXPECT_FALSE(p->IsLoaded());
  EXPECT_EQ(p->GetLoadedCount(), 1);
  // Asking again schedules nothing new: the progress is kept.
  p->EnsureLoaded();
  EXPECT_EQ(p->GetLoadedCount(), 1);
  Frame();
  EXPECT_TRUE(p->IsLoaded());

  // Other callbacks do not advance the list.
  VModelProxy* q = GetModelProxy("models/crate.model");
  data.Write("models/crate.model_data/resources.xml", "<resources><resource file=\"textures/barrel.dds\"/></resources>");
  q->EnsureLoaded();
  IVisCallbackDataObject_cl other(&Vision::Callbacks.OnUpdateSceneBegin);
  VModelScheduler::GlobalManager().OnHandleCallback(&other);
  EXPECT_EQ(q->GetLoadedCount(), 0);
}

TEST_F(ModelProxyTest, ABrokenResourceListFallsBackToLoadingDirectly) {
  data.Write("models/barrel.model_data/resources.xml", "<notalist/>");
  VModelProxy* p = GetModelProxy("models/barrel.model");
  p->EnsureLoaded();
  EXPECT_FALSE(p->IsSnapshotListRead());
  EXPECT_TRUE(p->IsLoaded());
}

TEST_F(ModelProxyTest, ReleasingTheLastUserDropsTheModelUnlessKept) {
  VModelProxy* p = GetModelProxy("models/barrel.model");
  p->AddRef();  // a user
  p->EnsureLoaded();
  ASSERT_TRUE(p->IsLoaded());
  p->Release();
  EXPECT_EQ(FindModelProxy("models/barrel.model"), nullptr) << "gone from the scheduler";
  EXPECT_EQ(VModelScheduler::GlobalManager().GetProxyCount(), 0);
  EXPECT_EQ(Vision::Game.PurgeUnusedMeshes(), 0) << "the unused model was purged already";

  VModelProxy* kept = GetModelProxy("models/crate.model");
  kept->SetKeep(true);
  kept->AddRef();
  kept->AddRef();  // two users
  kept->EnsureLoaded();
  kept->Release();
  kept->Release();
  ASSERT_EQ(FindModelProxy("models/crate.model"), kept);
  EXPECT_TRUE(kept->IsLoaded()) << "a kept model stays loaded without users";
  EXPECT_EQ(kept->GetRefCount(), 1);
}

TEST_F(ModelProxyTest, ShutdownEmptiesTheListAndLeavesUsersTheirProxies) {
  VModelProxy* used = GetModelProxy("models/barrel.model");
  used->AddRef();
  used->EnsureLoaded();
  GetModelProxy("models/crate.model");

  ShutdownModelProxies();
  EXPECT_EQ(VModelScheduler::GlobalManager().GetProxyCount(), 0);
  EXPECT_EQ(used->GetScheduler(), nullptr);
  EXPECT_EQ(used->GetRefCount(), 1);
  EXPECT_TRUE(used->IsLoaded()) << "still in use";

  // A new list starts; the old proxy is not in it.
  VModelProxy* fresh = GetModelProxy("models/barrel.model");
  EXPECT_NE(fresh, used);
  used->Release();
  EXPECT_EQ(VModelScheduler::GlobalManager().GetProxyCount(), 1) << "a detached proxy leaves the list alone";
}

}  // namespace
