// The world of Vision::Game: creation by class name and from templates, search by
// key, think passes, broadcasts, entity collections and the saved engine data.
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisMouseCamera.h"
#include "engine/core/VisRenderContext.h"
#include "engine/render/VisWorldRenderer.h"
#include "engine/base/VisError.h"
#include "support/ArchiveRoundTrip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class GwUnit : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(GwUnit)
 public:
  void InitFunction() override { g_log.push_back("init health=" + std::to_string(m_iHealth)); }
  void PreThinkFunction() override { g_log.push_back(std::string(GetEntityKey()) + ":pre"); }
  void ThinkFunction() override {
    g_log.push_back(std::string(GetEntityKey()) + ":think");
    if (onThink) onThink(this);
  }
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    g_log.push_back(std::string(GetEntityKey()) + ":msg" + std::to_string(id));
    VisBaseEntity_cl::MessageFunction(id, p1, p2);
  }
  int m_iHealth = 0;
  void (*onThink)(GwUnit*) = nullptr;
  VisBaseEntity_cl* other = nullptr;
};
void GwUnit_BuildVarList(VARTABLE& t) { VAR_INT(t, GwUnit, m_iHealth, "Health", "0"); }
V_IMPLEMENT_DYNCREATE_VARS(GwUnit, VisBaseEntity_cl, GwUnit_BuildVarList)

int g_componentsAlive = 0;
class GwComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(GwComponent)
 public:
  GwComponent() { ++g_componentsAlive; }
  ~GwComponent() override { --g_componentsAlive; }
};
V_IMPLEMENT_DYNCREATE(GwComponent, IVObjectComponent)

class GwTemplate : public VisEntityTemplate_cl {
 public:
  void ApplyToEntity(VisBaseEntity_cl* e) override {
    g_log.push_back("apply key=" + std::string(e->GetEntityKey()));
  }
};

GwUnit* MakeUnit(const char* key) {
  auto* u = new GwUnit();
  u->SetEntityKey(key);
  return u;
}

class GameWorldTest : public ::testing::Test {
 protected:
  void SetUp() override { g_log.clear(); }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Error.SetLogListener(nullptr);
  }
};

TEST_F(GameWorldTest, CreateEntitySetsPoseAndVariablesBeforeInit) {
  VisBaseEntity_cl* e =
      Vision::Game.CreateEntity("gwunit", VisVector_cl(1, 2, 3), "models\\no_such_model.model", "m_iHealth=\"25\"");
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->IsOfType(GwUnit::GetClassTypeId()));
  EXPECT_EQ(e->GetPosition(), VisVector_cl(1, 2, 3));
  EXPECT_FALSE(e->HasMesh()) << "a missing model leaves no mesh";
  // The parameter string goes through SetVariable, which announces the change.
  EXPECT_EQ(g_log, (std::vector<std::string>{":msg11001", "init health=25"}));
  EXPECT_EQ(Vision::Game.GetEntity(e->GetNumber()), e);

  VisBaseEntity_cl* camera = Vision::Game.CreateEntity("VisMouseCamera_cl", VisVector_cl(0, 0, 0));
  ASSERT_NE(camera, nullptr);
  EXPECT_TRUE(camera->IsExactType(VisMouseCamera_cl::GetClassTypeId()));
}

TEST_F(GameWorldTest, CreateEntityRefusesWhatIsNoEntity) {
  std::vector<std::string> lines;
  Vision::Error.SetLogListener([&](const std::string& line) { lines.push_back(line); });
  const int before = Vision::Game.GetEntityCount();
  EXPECT_EQ(Vision::Game.CreateEntity("NoSuchClass", VisVector_cl()), nullptr);
  EXPECT_EQ(Vision::Game.CreateEntity(nullptr, VisVector_cl()), nullptr);
  EXPECT_EQ(Vision::Game.CreateEntity("VisObject3D_cl", VisVector_cl()), nullptr) << "not creatable";
  EXPECT_EQ(Vision::Game.CreateEntity("GwComponent", VisVector_cl()), nullptr);
  EXPECT_EQ(g_componentsAlive, 0) << "the refused object is deleted";
  EXPECT_EQ(Vision::Game.GetEntityCount(), before);
  EXPECT_EQ(lines.size(), 4u);
}

TEST_F(GameWorldTest, CreateEntityFromATemplate) {
  GwTemplate templ;
  templ.m_sClassName = "GwUnit";
  templ.m_vPosition = VisVector_cl(5, 0, 0);
  templ.m_vOrientation = VisVector_cl(90, 0, 0);
  templ.m_vScaling = VisVector_cl(2, 2, 2);
  templ.m_sKey = "Gate";
  templ.m_sEntityParams = "m_iHealth=\"7\"";
  VisBaseEntity_cl* e = Vision::Game.CreateEntity(templ);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetPosition(), VisVector_cl(5, 0, 0));
  EXPECT_TRUE(e->GetOrientation().IsEqual(VisVector_cl(90, 0, 0), 1e-4f));
  EXPECT_EQ(e->GetScaling(), VisVector_cl(2, 2, 2));
  EXPECT_EQ(g_log, (std::vector<std::string>{"Gate:msg11001", "apply key=Gate", "init health=7"}));

  templ.m_sClassName = "NoSuchClass";
  EXPECT_EQ(Vision::Game.CreateEntity(templ), nullptr);
}

TEST_F(GameWorldTest, SearchByKeyIsCaseSensitiveAndSkipsRemovedEntities) {
  GwUnit* a = MakeUnit("Tower");
  MakeUnit("tower");
  GwUnit* c = MakeUnit("Tower");
  EXPECT_EQ(Vision::Game.SearchEntity("Tower"), a);
  VisEntityCollection_cl found(1, 1);
  EXPECT_EQ(Vision::Game.SearchEntity("Tower", found), 2);
  ASSERT_EQ(found.GetNumEntries(), 2);
  EXPECT_EQ(found[0], a);
  EXPECT_EQ(found[1], c);

  a->Remove();
  EXPECT_EQ(Vision::Game.SearchEntity("Tower"), c);
  EXPECT_EQ(Vision::Game.SearchEntity("Nowhere"), nullptr);
}

TEST_F(GameWorldTest, ThinkPassRunsPreThinksThenThinksOfLiveEntities) {
  GwUnit* a = MakeUnit("a");
  GwUnit* b = MakeUnit("b");
  GwUnit* c = MakeUnit("c");
  GwUnit* d = MakeUnit("d");
  b->SetThinkFunctionStatus(false);
  c->SetPreThinkFunctionStatus(false);
  d->Remove();
  Vision::Game.RunThinkFunctions();
  EXPECT_EQ(g_log, (std::vector<std::string>{"a:pre", "b:pre", "a:think", "c:think"}));
  (void)a;
}

TEST_F(GameWorldTest, ThinkPassIsSafeWhenEntitiesComeAndGo) {
  GwUnit* spawner = MakeUnit("spawner");
  GwUnit* victim = MakeUnit("victim");
  spawner->other = victim;
  spawner->onThink = [](GwUnit* self) {
    if (self->other) self->other->Remove();
    self->other = nullptr;
    if (Vision::Game.SearchEntity("child") == nullptr) MakeUnit("child");
  };
  Vision::Game.RunThinkFunctions();
  EXPECT_EQ(g_log, (std::vector<std::string>{"spawner:pre", "victim:pre", "spawner:think"}));

  // The slot freed at the frame end is taken by a new entity in the next frame; it
  // must not think before that frame's pass.
  Vision::Game.FreeRemovedEntities();
  g_log.clear();
  spawner->onThink = [](GwUnit*) { MakeUnit("late"); };
  Vision::Game.RunThinkFunctions();
  EXPECT_EQ(g_log, (std::vector<std::string>{"spawner:pre", "child:pre", "spawner:think", "child:think"}));
}

TEST_F(GameWorldTest, BroadcastReachesLiveEntitiesInSlotOrder) {
  MakeUnit("a");
  MakeUnit("b")->Remove();
  MakeUnit("c");
  Vision::Game.SendMsgToAll(500);
  EXPECT_EQ(g_log, (std::vector<std::string>{"a:msg500", "c:msg500"}));
}

TEST_F(GameWorldTest, RemoveAllEntitiesEmptiesTheWorld) {
  MakeUnit("a")->AddComponent(new GwComponent());
  MakeUnit("b")->SetUniqueID(9);
  Vision::Game.RemoveAllEntities();
  EXPECT_EQ(Vision::Game.GetEntityCount(), 0);
  EXPECT_EQ(g_componentsAlive, 0);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(9), nullptr);
}

// ---- collections ------------------------------------------------------------

TEST_F(GameWorldTest, CollectionGrowsByAQuarterOrTheStep) {
  struct Case {
    int capacity, step, appended, expected;
  } cases[] = {
      {4, 2, 5, 6},     // 4 full: max(4/4, 2) = 2
      {40, 2, 41, 50},  // 40 full: max(40/4, 2) = 10
      {0, 3, 1, 3},     // empty: the step
      {2, 0, 3, 3},     // a zero step still grows
  };
  GwUnit* u = MakeUnit("u");
  for (const Case& c : cases) {
    VisEntityCollection_cl coll(c.capacity, c.step);
    for (int i = 0; i < c.appended; ++i) coll.Append(u);
    EXPECT_EQ(coll.GetCapacity(), c.expected) << c.capacity << "/" << c.step;
    EXPECT_EQ(coll.GetNumEntries(), c.appended);
  }
}

TEST_F(GameWorldTest, CollectionKeepsOrderThroughRemovalAndFiltering) {
  GwUnit* a = MakeUnit("a");
  GwUnit* b = MakeUnit("b");
  GwUnit* c = MakeUnit("c");
  VisEntityCollection_cl coll;
  coll.Append(a);
  coll.Append(b);
  EXPECT_FALSE(coll.AppendUnique(a));
  EXPECT_TRUE(coll.AppendUnique(c));
  EXPECT_EQ(coll.GetIndexOf(c), 2);
  // All three ahead of the main camera, b with its visible mask cleared.
  VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
  main->SetCameraPosition(VisVector_cl(0, 0, 0));
  main->SetCameraRotation(VisMatrix3x3_cl());
  for (GwUnit* u : {a, b, c}) u->SetPosition(VisVector_cl(50, 0, 0));
  b->SetVisibleBitmask(0);
  VisWorldRenderer_cl::GetInstance().BuildFrame(main);
  coll.FilterNonVisibleEntities();
  ASSERT_EQ(coll.GetNumEntries(), 2);
  EXPECT_EQ(coll[0], a);
  EXPECT_EQ(coll[1], c);
  EXPECT_TRUE(coll.Remove(a));
  EXPECT_FALSE(coll.Remove(a));
  coll.RemoveAt(5);  // out of range: ignored
  EXPECT_EQ(coll[0], c);
}

// ---- saved data -------------------------------------------------------------

GwUnit* MakeSavedUnit() {
  GwUnit* u = MakeUnit("Harbour");
  u->SetPosition(1, 2, 3);
  u->SetOrientation(30, 10, 5);
  u->SetScaling(VisVector_cl(1, 2, 3));
  u->SetUniqueID((int64_t(3) << 40) + 5);
  u->SetMesh("models\\missing_ship.model");
  u->SetObjectFlags(1);
  u->SetVisibleBitmask(0x0f);
  u->SetLightInfluenceBitMask(0xf0);
  u->SetCastShadows(true);
  u->SetTraceAccuracy(VIS_TRACEACC_POLYGONS);
  u->SetThinkFunctionStatus(false);
  auto* comp = new GwComponent();
  comp->SetComponentName("hold");
  u->AddComponent(comp);
  return u;
}

TEST_F(GameWorldTest, EntitySavedDataRoundTrips) {
  GwUnit* original = MakeSavedUnit();
  GwUnit* fresh = new GwUnit();
  ASSERT_TRUE(archive_test::RoundTripSerialize(*original, *fresh));
  EXPECT_STREQ(fresh->GetEntityKey(), "Harbour");
  EXPECT_TRUE(fresh->GetPosition().IsEqual(VisVector_cl(1, 2, 3), 0));
  EXPECT_TRUE(fresh->GetOrientation().IsEqual(original->GetOrientation(), 0));
  EXPECT_EQ(fresh->GetScaling(), VisVector_cl(1, 2, 3));
  EXPECT_EQ(fresh->GetUniqueID(), original->GetUniqueID());
  EXPECT_STREQ(fresh->GetMeshFileName(), "models\\missing_ship.model");
  EXPECT_EQ(fresh->GetVisibleBitmask(), 0x0fu);
  EXPECT_EQ(fresh->GetLightInfluenceBitMask(), 0xf0u);
  EXPECT_EQ(fresh->GetTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_FALSE(fresh->GetThinkFunctionStatus());
  ASSERT_EQ(fresh->GetComponentCount(), 1);
  EXPECT_STREQ(fresh->GetComponent(0)->GetComponentName(), "hold");
  EXPECT_EQ(fresh->GetComponent(0)->GetOwner(), fresh);
}

TEST_F(GameWorldTest, EntityReadAsObjectJoinsTheWorldWithItsId) {
  GwUnit* original = MakeSavedUnit();
  const int64_t id = original->GetUniqueID();
  archive_test::Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar.WriteObject(original); });
  original->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(id), nullptr);

  VisBaseEntity_cl* loaded = nullptr;
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { ar >> loaded; }));
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->IsExactType(GwUnit::GetClassTypeId()));
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(id), loaded);
  EXPECT_EQ(Vision::Game.SearchEntity("Harbour"), loaded);
}

TEST_F(GameWorldTest, EngineObjectBlockLayoutAndDamagedBlocks) {
  // Version byte, key, component count.
  archive_test::Bytes good = archive_test::ByteWriter().U8(1).Str("Beacon").I32(0);
  VisTypedEngineObject_cl obj;
  ASSERT_TRUE(archive_test::LoadBytes(good, [&](VArchive& ar) { obj.Serialize(ar); }));
  EXPECT_STREQ(obj.GetObjectKey(), "Beacon");
  EXPECT_EQ(archive_test::SaveBytes([&](VArchive& ar) { obj.Serialize(ar); }), good);

  struct Case {
    const char* what;
    archive_test::Bytes bytes;
  } damaged[] = {
      {"newer version", archive_test::ByteWriter().U8(2).Str("x").I32(0)},
      {"version 0", archive_test::ByteWriter().U8(0)},
      {"negative count", archive_test::ByteWriter().U8(1).Str("x").I32(-1)},
      {"count beyond the data", archive_test::ByteWriter().U8(1).Str("x").I32(1000000).I32(-1)},
  };
  for (const Case& c : damaged) {
    VisTypedEngineObject_cl target;
    archive_test::ReadArchive ar(c.bytes);
    target.Serialize(*ar);
    EXPECT_FALSE(ar->IsOK()) << c.what;
    EXPECT_EQ(target.GetComponentCount(), 0) << c.what;
  }
}

}  // namespace
