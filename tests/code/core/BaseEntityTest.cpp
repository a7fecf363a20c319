// The base entity: type records and variables, announcements, trace accuracies and
// the mouse trace, the saved block, deferred removal, script values, the health bar
// and mesh streaming through the model proxies.
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/MouseInputHandler.h"
#include "core/StaticEntity.h"
#include "core/VModelScheduler.h"

#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;

// Counts its deletions.
class BeProbeComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(BeProbeComponent)
 public:
  ~BeProbeComponent() override { ++deleted; }
  static inline int deleted = 0;
};
V_IMPLEMENT_DYNCREATE(BeProbeComponent, IVObjectComponent)

// Records the entities announced on one event of the bus.
class BusListener : public IVisCallbackHandler_cl {
 public:
  explicit BusListener(VCallback& cb) : m_cb(cb) { cb.RegisterCallback(this); }
  ~BusListener() override { m_cb.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    entities.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
  }
  std::vector<VisBaseEntity_cl*> entities;

 private:
  VCallback& m_cb;
};

class BaseEntityTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    ShutdownModelProxies();
    Vision::Game.PurgeUnusedMeshes();
    Vision::Camera.SetPosition(VisVector_cl(0, 0, 0));
  }
  static void Frame() { Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks(); }
  static void MouseTrace(bool begin) {
    VCallback& cb = begin ? GameManager::Callbacks.OnBeginMouseTrace : GameManager::Callbacks.OnEndMouseTrace;
    BaseEntityDataObject data(&cb, nullptr);
    cb.TriggerCallbacks(&data);
  }
};

TEST_F(BaseEntityTest, TypeRecordsCreateBothClassesWithTheirVariables) {
  auto* base = dynamic_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(1, 2, 3)));
  auto* stat = dynamic_cast<StaticEntity*>(Vision::Game.CreateEntity("StaticEntity", VisVector_cl(0, 0, 0)));
  ASSERT_NE(base, nullptr);
  ASSERT_NE(stat, nullptr);
  EXPECT_EQ(base->GetSerializeType(), 0);
  EXPECT_EQ(static_cast<BaseEntity*>(stat)->GetSerializeType(), 1) << "through the base class too";

  VARTABLE* vars = BaseEntity::GetClassTypeId()->GetVarTable();
  const int own = vars->GetCount() - 4;
  ASSERT_GE(own, 0);
  EXPECT_STREQ(vars->Get(own + 0).name, "m_bSave");
  EXPECT_STREQ(vars->Get(own + 0).help, "Save this entity to savegame");
  EXPECT_STREQ(vars->Get(own + 1).name, "m_iNation");
  EXPECT_STREQ(vars->Get(own + 1).help, "Nation number (0=none)");
  EXPECT_STREQ(vars->Get(own + 2).name, "m_eCollisionTraceAccuracy");
  EXPECT_STREQ(vars->Get(own + 2).defaultValue, "VIS_TRACEACC_NOCOLLISION");
  EXPECT_STREQ(vars->Get(own + 3).name, "m_eClickTraceAccuracy");
  EXPECT_EQ(vars->Get(own + 3).GetEnumIndex("VIS_TRACEACC_POLYGONS"), 4);
  EXPECT_EQ(StaticEntity::GetClassTypeId()->GetVarTable()->GetCount(), vars->GetCount());

  // Scene parameters: the polygon accuracy arrives as its list position.
  auto* e = static_cast<BaseEntity*>(Vision::Game.CreateEntity(
      "BaseEntity", VisVector_cl(0, 0, 0), nullptr,
      "m_bSave=\"TRUE\",m_iNation=\"3\",m_eClickTraceAccuracy=\"VIS_TRACEACC_POLYGONS\""));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetSave(), 1);
  EXPECT_EQ(e->GetNation(), 3);
  EXPECT_EQ(e->GetClickTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_TRUE(e->IsRegisteredForMouseTrace());
}

TEST_F(BaseEntityTest, CreationAndDestructionAreAnnouncedOnTheBus) {
  BusListener created(GameManager::Callbacks.OnEntityCreated);
  BusListener destroyed(GameManager::Callbacks.OnEntityDestroyed);
  BaseEntity* e = new BaseEntity();
  ASSERT_EQ(created.entities, std::vector<VisBaseEntity_cl*>{e});
  EXPECT_TRUE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(e));
  e->SetClickTraceAccuracy(VIS_TRACEACC_AABOX);
  ASSERT_TRUE(e->IsRegisteredForMouseTrace());

  e->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(destroyed.entities, std::vector<VisBaseEntity_cl*>{e});
  EXPECT_FALSE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(e));
  EXPECT_FALSE(GameManager::Callbacks.OnBeginMouseTrace.IsRegistered(e));
  EXPECT_FALSE(GameManager::Callbacks.OnEndMouseTrace.IsRegistered(e));
}

TEST_F(BaseEntityTest, ListPositionFourIsThePolygonAccuracy) {
  struct Case {
    int position;
    int stored;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 7}, {5, 5}, {6, 6}, {7, 7}};
  BaseEntity* e = new BaseEntity();
  for (const Case& c : cases) {
    e->SetClickTraceAccuracy((VisTraceAccuracy_e)c.position);
    e->SetCollisionTraceAccuracy((VisTraceAccuracy_e)c.position);
    EXPECT_EQ((int)e->GetClickTraceAccuracy(), c.stored) << "position " << c.position;
    EXPECT_EQ((int)e->GetCollisionTraceAccuracy(), c.stored) << "position " << c.position;
    EXPECT_EQ((int)BaseEntity::TraceAccuracyFromListPosition(c.position), c.stored);
  }
  // Numbers the enumeration cannot hold, as a damaged saved block gives them.
  for (int position : {-1, 8, 720896})
    EXPECT_EQ(BaseEntity::TraceAccuracyFromListPosition(position), VIS_TRACEACC_NOCOLLISION) << position;
}

TEST_F(BaseEntityTest, TheMouseTraceUsesTheClickAccuracyOnlyWhileTheyDiffer) {
  BaseEntity* picked = new BaseEntity();
  BaseEntity* same = new BaseEntity();
  picked->SetCollisionTraceAccuracy(VIS_TRACEACC_AABOX);
  picked->SetClickTraceAccuracy(VIS_TRACEACC_POLYGONS);
  picked->SetTraceAccuracy(VIS_TRACEACC_AABOX);
  same->SetCollisionTraceAccuracy(VIS_TRACEACC_OBOX);
  same->SetClickTraceAccuracy(VIS_TRACEACC_OBOX);
  same->SetTraceAccuracy(VIS_TRACEACC_SPHERE);
  EXPECT_TRUE(picked->IsRegisteredForMouseTrace());
  EXPECT_FALSE(same->IsRegisteredForMouseTrace());

  MouseTrace(true);
  EXPECT_EQ(picked->GetTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_EQ(same->GetTraceAccuracy(), VIS_TRACEACC_SPHERE) << "equal accuracies never change around the trace";
  MouseTrace(false);
  EXPECT_EQ(picked->GetTraceAccuracy(), VIS_TRACEACC_AABOX);
  EXPECT_EQ(same->GetTraceAccuracy(), VIS_TRACEACC_SPHERE);

  // Made equal, the entity leaves both events.
  picked->SetClickTraceAccuracy(VIS_TRACEACC_AABOX);
  EXPECT_FALSE(GameManager::Callbacks.OnBeginMouseTrace.IsRegistered(picked));
  EXPECT_FALSE(GameManager::Callbacks.OnEndMouseTrace.IsRegistered(picked));
}

// ---- saved block ------------------------------------------------------------------

// The engine entity's own data of e, which precedes the block.
Bytes EngineBytes(BaseEntity& e) {
  return archive_test::SaveBytes([&](VArchive& ar) { e.VisBaseEntity_cl::Serialize(ar); });
}

Bytes WithBlock(const Bytes& prefix, const ByteWriter& block) {
  Bytes all = prefix;
  all.insert(all.end(), block.Get().begin(), block.Get().end());
  return all;
}

TEST_F(BaseEntityTest, SavedBlockIsVersionThreeWithFiveIntegers) {
  BaseEntity* original = new BaseEntity();
  original->SetSave(1);
  original->SetNation(5);
  original->SetCollisionTraceAccuracy(VIS_TRACEACC_OBOX);
  original->SetClickTraceAccuracy(VIS_TRACEACC_POLYGONS);
  original->SetCanTrace(0);
  original->SetTraceAccuracy(VIS_TRACEACC_OBOX);  // as loading leaves it
  BaseEntity* fresh = new BaseEntity();

  Bytes written;
  ASSERT_TRUE(archive_test::RoundTripSerialize(*original, *fresh, &written));
  const Bytes expected = WithBlock(
      EngineBytes(*original),
      ByteWriter().Str("ARCH").U8(3).I32(1).I32(5).I32(VIS_TRACEACC_OBOX).I32(VIS_TRACEACC_POLYGONS).I32(0).Str("EOA"));
  EXPECT_EQ(archive_test::Hex(written, 0, 200), archive_test::Hex(expected, 0, 200));

  EXPECT_EQ(fresh->GetSave(), 1);
  EXPECT_EQ(fresh->GetNation(), 5);
  EXPECT_EQ(fresh->GetCollisionTraceAccuracy(), VIS_TRACEACC_OBOX);
  EXPECT_EQ(fresh->GetClickTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_EQ(fresh->CanTrace(), 0);
  EXPECT_EQ(fresh->GetTraceAccuracy(), VIS_TRACEACC_OBOX) << "the collision accuracy is applied";
  EXPECT_TRUE(fresh->IsRegisteredForMouseTrace());
}

TEST_F(BaseEntityTest, OlderBlocksRestoreOnlyTheirFields) {
  BaseEntity* source = new BaseEntity();
  const Bytes prefix = EngineBytes(*source);

  // Version 1: nothing of the block.
  BaseEntity* v1 = new BaseEntity();
  v1->SetNation(9);
  v1->SetCanTrace(1);
  ASSERT_TRUE(archive_test::LoadBytes(WithBlock(prefix, ByteWriter().Str("ARCH").U8(1).Str("EOA")),
                                      [&](VArchive& ar) { v1->Serialize(ar); }));
  EXPECT_EQ(v1->GetNation(), 9);
  EXPECT_EQ(v1->GetSave(), 0);
  EXPECT_EQ(v1->GetClickTraceAccuracy(), VIS_TRACEACC_NOCOLLISION);

  // Version 2: all but can-trace; saved list positions of 4 become 7.
  BaseEntity* v2 = new BaseEntity();
  v2->SetCanTrace(1);
  ASSERT_TRUE(archive_test::LoadBytes(
      WithBlock(prefix, ByteWriter().Str("ARCH").U8(2).I32(1).I32(4).I32(4).I32(2).Str("EOA")),
      [&](VArchive& ar) { v2->Serialize(ar); }));
  EXPECT_EQ(v2->GetSave(), 1);
  EXPECT_EQ(v2->GetNation(), 4);
  EXPECT_EQ(v2->GetCollisionTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_EQ(v2->GetClickTraceAccuracy(), VIS_TRACEACC_OBOX);
  EXPECT_EQ(v2->GetTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_EQ(v2->CanTrace(), 1);
  EXPECT_TRUE(v2->IsRegisteredForMouseTrace());
}

TEST_F(BaseEntityTest, ASavedEntityThatCannotBeTracedLeavesThePickList) {
  ScratchDataFolder data;  // no game script: an empty world
  GameManager* game = GameManager::GetInstance();
  game->OneTimeInit();
  ASSERT_NE(game->GetMouseInputHandler(), nullptr);
  BaseEntity* source = new BaseEntity();
  const Bytes prefix = EngineBytes(*source);
  BaseEntity* e = new BaseEntity();
  ASSERT_TRUE(game->GetMouseInputHandler()->GetTraceEntities().Contains(e)) << "listed when created";
  ASSERT_TRUE(archive_test::LoadBytes(
      WithBlock(prefix, ByteWriter().Str("ARCH").U8(3).I32(0).I32(0).I32(0).I32(0).I32(0).Str("EOA")),
      [&](VArchive& ar) { e->Serialize(ar); }));
  EXPECT_EQ(e->CanTrace(), 0);
  EXPECT_FALSE(game->GetMouseInputHandler()->GetTraceEntities().Contains(e));
  Vision::Game.RemoveAllEntities();
  GameManager::CleanInstance();
}

TEST_F(BaseEntityTest, ABlockWithoutStartTagReadsNothingMore) {
  BaseEntity* source = new BaseEntity();
  const Bytes prefix = EngineBytes(*source);
  BaseEntity* e = new BaseEntity();
  LogCapture log;
  const Bytes bytes = WithBlock(prefix, ByteWriter().Str("XXXX").U8(3).I32(1).I32(2).I32(0).I32(0).I32(0).Str("EOA"));
  archive_test::ReadArchive ar(bytes);
  e->Serialize(*ar);
  EXPECT_EQ(ar->GetRemaining(), 1 + 5 * 4 + 4 + 3) << "only the tag was read";
  EXPECT_EQ(e->GetNation(), 0);
  EXPECT_TRUE(log.Contains("ARCH"));
}

// ---- components -------------------------------------------------------------------

TEST_F(BaseEntityTest, DeferredRemovalHappensOnceInTheNextFrame) {
  BaseEntity* e = new BaseEntity();
  auto* c = new BeProbeComponent();
  auto* stays = new BeProbeComponent();
  ASSERT_TRUE(e->AddComponent(c));
  ASSERT_TRUE(e->AddComponent(stays));
  BeProbeComponent::deleted = 0;

  e->RemoveComponentDeferred(c);
  e->RemoveComponentDeferred(c);
  EXPECT_EQ(e->GetPendingRemovalCount(), 1);
  EXPECT_EQ(e->GetComponentCount(), 2) << "nothing before the frame";
  Frame();
  EXPECT_EQ(e->GetComponentCount(), 1);
  EXPECT_EQ(e->GetComponent(0), stays);
  EXPECT_EQ(BeProbeComponent::deleted, 1);
  EXPECT_EQ(e->GetPendingRemovalCount(), 0);

  // A queued component that left the entity meanwhile is no longer queued: its
  // address may be reused by a new component before the frame.
  e->RemoveComponentDeferred(stays);
  ASSERT_TRUE(e->RemoveComponent(stays));
  EXPECT_EQ(e->GetPendingRemovalCount(), 0);
  Frame();
  EXPECT_EQ(BeProbeComponent::deleted, 1);
  delete stays;
}

TEST_F(BaseEntityTest, AnEntityThatTakesNoHealthBarShowsNone) {
  BaseEntity* e = new BaseEntity();
  LogCapture log;
  e->ShowHealthBar(3.0f);
  e->HideHealthBar();
  EXPECT_EQ(e->GetComponentCount(), 0);
}

// ---- script values ----------------------------------------------------------------

TEST_F(BaseEntityTest, ScriptValuesByName) {
  ScratchDataFolder data;
  BaseEntity* e = new BaseEntity();
  int i = 42;
  VString s("unchanged");
  EXPECT_FALSE(e->SetScriptValue("iMaxCollectables", 3));
  EXPECT_FALSE(e->GetScriptValue("iMaxCollectables", i)) << "no script";
  EXPECT_EQ(i, 42);

  data.Write("scripts/town.lua", "bFound = false\nfEnteringDistance = 250\nsName = 'Port'\n");
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts->CreateScriptInstanceFromFile("scripts/town.lua", e);
  ASSERT_NE(script, nullptr);
  scripts->SetScriptInstance(e, script);

  bool found = true;
  float distance = 0;
  ASSERT_TRUE(e->GetScriptValue("bFound", found));
  EXPECT_FALSE(found);
  ASSERT_TRUE(e->GetScriptValue("fEnteringDistance", distance));
  EXPECT_FLOAT_EQ(distance, 250.0f);
  ASSERT_TRUE(e->GetScriptValue("sName", s));
  EXPECT_STREQ(s.AsChar(), "Port");

  // A value of another type leaves the out value alone.
  i = 7;
  EXPECT_FALSE(e->GetScriptValue("sName", i));
  EXPECT_EQ(i, 7);
  EXPECT_FALSE(e->GetScriptValue("missing", s));
  EXPECT_STREQ(s.AsChar(), "Port");

  EXPECT_TRUE(e->SetScriptValue("iMaxCollectables", 3));
  EXPECT_TRUE(e->SetScriptValue("bIsAccessible", true));
  EXPECT_TRUE(e->SetScriptValue("vSpot", VisVector_cl(1, 2, 3)));
  EXPECT_TRUE(e->SetScriptValue("sEmpty", VString()));
  EXPECT_FALSE(e->SetScriptValue("sNull", (const char*)nullptr));
  ASSERT_TRUE(e->GetScriptValue("iMaxCollectables", i));
  EXPECT_EQ(i, 3);
  bool accessible = false;
  ASSERT_TRUE(e->GetScriptValue("bIsAccessible", accessible));
  EXPECT_TRUE(accessible);
  VisVector_cl v;
  ASSERT_TRUE(e->GetScriptValue("vSpot", v));
  EXPECT_TRUE(v == VisVector_cl(1, 2, 3));
  ASSERT_TRUE(e->GetScriptValue("sEmpty", s));
  EXPECT_STREQ(s.AsChar(), "");
  EXPECT_FALSE(e->GetScriptValue("sNull", s));

  Vision::Game.RemoveAllEntities();
  scripts->Reset();
}

// ---- mesh streaming ---------------------------------------------------------------

class MeshStreamingTest : public BaseEntityTest {
 protected:
  void SetUp() override { data.WriteModel("models/hut.model"); }
  VDynamicMesh* HutMesh() { return Vision::Game.LoadDynamicMesh("models/hut.model"); }
  ScratchDataFolder data;
};

TEST_F(MeshStreamingTest, TheMeshStreamsInNearTheCameraAndOutFarAway) {
  BaseEntity* e = new BaseEntity();
  e->SetFarDistance(100.0f);
  e->SetCanUnloadMesh(1);
  e->SetMeshFilename("models/hut.model");
  ASSERT_NE(e->GetModelProxy(), nullptr);
  EXPECT_FALSE(e->HasMesh());

  Vision::Camera.SetPosition(VisVector_cl(150, 0, 0));
  Frame();
  EXPECT_FALSE(e->GetModelProxy()->IsRequested()) << "beyond the far distance nothing starts";

  Vision::Camera.SetPosition(VisVector_cl(50, 0, 0));
  e->SetNoMesh(true);
  Frame();
  ASSERT_TRUE(e->HasMesh());
  EXPECT_EQ(e->GetMesh(), HutMesh());
  EXPECT_FALSE(e->IsNoMesh());

  // Between 1.0 and 1.2 times the far distance the state stays.
  Vision::Camera.SetPosition(VisVector_cl(115, 0, 0));
  Frame();
  EXPECT_TRUE(e->HasMesh());

  Vision::Camera.SetPosition(VisVector_cl(130, 0, 0));
  Frame();
  EXPECT_FALSE(e->HasMesh());
  EXPECT_EQ(FindModelProxy("models/hut.model"), e->GetModelProxy());
  EXPECT_FALSE(e->GetModelProxy()->IsRequested()) << "the model was let go";

  // Coming back streams it in again.
  Vision::Camera.SetPosition(VisVector_cl(10, 0, 0));
  Frame();
  EXPECT_TRUE(e->HasMesh());
}

TEST_F(MeshStreamingTest, WithoutUnloadingTheMeshStays) {
  BaseEntity* e = new BaseEntity();
  e->SetFarDistance(100.0f);
  e->SetMeshFilename("models/hut.model");
  Frame();
  ASSERT_TRUE(e->HasMesh());
  Vision::Camera.SetPosition(VisVector_cl(1000, 0, 0));
  Frame();
  EXPECT_TRUE(e->HasMesh());
}

TEST_F(MeshStreamingTest, SetMeshFilenameSharesProxiesAndIgnoresTheCurrentMesh) {
  BaseEntity* a = new BaseEntity();
  BaseEntity* b = new BaseEntity();
  a->SetMeshFilename("models/hut.model", true);
  b->SetMeshFilename("MODELS/HUT.model");
  ASSERT_NE(a->GetModelProxy(), nullptr);
  EXPECT_EQ(a->GetModelProxy(), b->GetModelProxy());
  EXPECT_TRUE(a->GetModelProxy()->IsKeep());
  EXPECT_EQ(a->GetModelProxy()->GetRefCount(), 3);

  // The entity already shows the mesh loaded from this very name (less one leading separator).
  BaseEntity* c = new BaseEntity();
  c->SetMesh("\\models/hut.model");
  ASSERT_TRUE(c->HasMesh());
  c->SetMeshFilename("models/hut.model");
  EXPECT_EQ(c->GetModelProxy(), nullptr);
  EXPECT_STREQ(c->GetMeshFilename(), "");

  // Clearing the name lets the proxy go.
  b->SetMeshFilename(nullptr);
  EXPECT_EQ(b->GetModelProxy(), nullptr);
  EXPECT_EQ(a->GetModelProxy()->GetRefCount(), 2);
}

TEST_F(MeshStreamingTest, EnsureMeshLoadedLogsEachWay) {
  LogCapture log;
  // Streaming not started: the proxy goes and the file loads directly.
  BaseEntity* direct = new BaseEntity();
  direct->SetMeshFilename("models/hut.model");
  direct->EnsureMeshLoaded();
  EXPECT_TRUE(log.Contains("Mesh streaming not started."));
  EXPECT_TRUE(log.Contains("Load mesh: models/hut.model"));
  EXPECT_EQ(direct->GetModelProxy(), nullptr);
  EXPECT_EQ(direct->GetMesh(), HutMesh());

  // A streaming proxy is advanced until its mesh is there.
  data.Write("tex.dds", "x");
  data.WriteModel("models/tower.model");
  data.Write("models/tower.model_data/resources.xml", "<resources><resource file=\"tex.dds\"/></resources>");
  BaseEntity* streamed = new BaseEntity();
  streamed->SetMeshFilename("models/tower.model");
  streamed->GetModelProxy()->EnsureLoaded();
  ASSERT_FALSE(streamed->GetModelProxy()->IsLoaded());
  log.Clear();
  streamed->EnsureMeshLoaded();
  EXPECT_TRUE(log.Contains("Stream mesh: models/tower.model"));
  EXPECT_TRUE(log.Contains("Mesh loaded: models/tower.model"));
  ASSERT_TRUE(streamed->HasMesh());

  // Another entity of a loaded proxy just takes the mesh.
  BaseEntity* other = new BaseEntity();
  other->SetMeshFilename("models/tower.model");
  log.Clear();
  other->EnsureMeshLoaded();
  EXPECT_TRUE(log.Contains("Mesh already loaded: models/tower.model"));
  EXPECT_EQ(other->GetMesh(), streamed->GetMesh());

  // A model that never loads.
  BaseEntity* broken = new BaseEntity();
  broken->SetMeshFilename("models/missing.model");
  broken->GetModelProxy()->EnsureLoaded();
  log.Clear();
  broken->EnsureMeshLoaded();
  EXPECT_TRUE(log.Contains("Couldn't load mesh: models/missing.model"));
  EXPECT_FALSE(broken->HasMesh());
}

}  // namespace
