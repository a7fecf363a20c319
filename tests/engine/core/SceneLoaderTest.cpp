// The scene loader and the world: scenes of our XML format, the empty world, failures.
#include "engine/Vision.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class SceneProbeEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(SceneProbeEntity)
 public:
  int m_iNation = 0;
  VString m_sName;
  int nationAtInit = -1;
  int componentsAtInit = -1;
  void InitFunction() override {
    nationAtInit = m_iNation;
    componentsAtInit = GetComponentCount();
  }
};

void SceneProbeEntity_BuildVars(VARTABLE& t) {
  VAR_INT(t, SceneProbeEntity, m_iNation, "Nation", "0");
  VAR_STRING(t, SceneProbeEntity, m_sName, "Name", "");
}
V_IMPLEMENT_DYNCREATE_VARS(SceneProbeEntity, VisBaseEntity_cl, SceneProbeEntity_BuildVars)

// Attaches only to SceneProbeEntity.
class SceneProbeComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(SceneProbeComponent)
 public:
  float m_fSpeed = 0.0f;
  float speedAtInitialize = -1.0f;
  void Initialize() override { speedAtInitialize = m_fSpeed; }
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override {
    if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
    if (object->IsOfType(SceneProbeEntity::GetClassTypeId())) return 1;
    reason = "Component can only be added to instances of SceneProbeEntity or derived classes.";
    return 0;
  }
};

void SceneProbeComponent_BuildVars(VARTABLE& t) { VAR_FLOAT(t, SceneProbeComponent, m_fSpeed, "Speed", "0"); }
V_IMPLEMENT_DYNCREATE_VARS(SceneProbeComponent, IVObjectComponent, SceneProbeComponent_BuildVars)

struct StatusCall {
  int status;
  float percent;
  std::string message;
};

class StatusApp : public VisionApp_cl {
 public:
  void OnLoadWorldStatus(int status, float percent, const char* message) override {
    calls.push_back({status, percent, message ? message : ""});
  }
  std::vector<StatusCall> calls;
};

class CountingHandler : public IVisCallbackHandler_cl {
 public:
  explicit CountingHandler(VCallback& cb, std::vector<std::string>& events, std::string name)
      : m_cb(cb), m_events(events), m_name(std::move(name)) {
    m_cb.RegisterCallback(this);
  }
  ~CountingHandler() override { m_cb.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {
    const auto& all = Vision::Game.GetEntities();
    const long live = std::count_if(all.begin(), all.end(), [](VisBaseEntity_cl* e) { return e && !e->IsMarkedRemoved(); });
    m_events.push_back(m_name + ":" + std::to_string(live));
  }

 private:
  VCallback& m_cb;
  std::vector<std::string>& m_events;
  std::string m_name;
};

int LiveEntities() {
  const auto& all = Vision::Game.GetEntities();
  return (int)std::count_if(all.begin(), all.end(), [](VisBaseEntity_cl* e) { return e && !e->IsMarkedRemoved(); });
}

class SceneLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("coreapp_scenes_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_dir / "scenes");
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
    Vision::SetApplication(&app);
  }
  void TearDown() override {
    Vision::World.UnloadWorld();
    Vision::SetApplication(nullptr);
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(m_dir);
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(m_dir / name) << text;
    Vision::File.ClearCache();
  }
  static SceneProbeEntity* Probe(const char* key) {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
    return e && e->IsOfType(SceneProbeEntity::GetClassTypeId()) ? static_cast<SceneProbeEntity*>(e) : nullptr;
  }

  std::filesystem::path m_dir;
  StatusApp app;
  LogCapture log;
};

TEST_F(SceneLoaderTest, LoadsEntitiesWithVariablesAndComponentsBeforeTheirInit) {
  Write("scenes/harbour.vscene", R"(<scene>
  <terrain height="2.5"/>
  <entity class="SceneProbeEntity" key="Ship1" id="42" position="1/2/3" orientation="90/0/0">
    <var name="m_iNation" value="3"/>
    <var name="m_sName" value="Gull"/>
    <component class="SceneProbeComponent" name="engine">
      <var name="m_fSpeed" value="4.5"/>
    </component>
  </entity>
  <entity key="Plain"/>
</scene>)");
  std::vector<std::string> events;
  CountingHandler loaded(Vision::Callbacks.OnAfterSceneLoaded, events, "loaded");
  CountingHandler late(Vision::Callbacks.OnAfterSceneLoadedLate, events, "late");

  VSceneLoader loader;
  ASSERT_TRUE(loader.LoadScene("Scenes\\Harbour.vscene")) << loader.GetLastError();
  EXPECT_EQ(loader.GetStatus(), VSceneLoader::STATUS_FINISHED);
  EXPECT_TRUE(loader.IsFinished());

  SceneProbeEntity* ship = Probe("Ship1");
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(42), ship);
  EXPECT_EQ(ship->GetPosition().x, 1.0f);
  EXPECT_EQ(ship->GetPosition().z, 3.0f);
  EXPECT_NEAR(ship->GetOrientation().x, 90.0f, 1e-3f);
  EXPECT_EQ(ship->m_sName, "Gull");
  EXPECT_EQ(ship->nationAtInit, 3);
  EXPECT_EQ(ship->componentsAtInit, 1);
  auto* engine = static_cast<SceneProbeComponent*>(ship->GetComponentByName("engine"));
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(engine->GetOwner(), ship);
  EXPECT_EQ(engine->speedAtInitialize, 4.5f);

  VisBaseEntity_cl* plain = Vision::Game.SearchEntity("Plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->IsExactType(VisBaseEntity_cl::GetClassTypeId()));

  EXPECT_TRUE(Vision::World.HasTerrain());
  EXPECT_EQ(Vision::World.GetHeightAtWorldPos(100.0f, -7.0f), 2.5f);
  EXPECT_STREQ(Vision::World.GetSceneFile(), "Scenes\\Harbour.vscene");
  ASSERT_EQ(app.calls.size(), 2u);
  EXPECT_EQ(app.calls[0].status, VSceneLoader::STATUS_LOADING);
  EXPECT_EQ(app.calls[0].percent, 0.0f);
  EXPECT_EQ(app.calls[1].status, VSceneLoader::STATUS_FINISHED);
  EXPECT_EQ(app.calls[1].percent, 100.0f);
  EXPECT_EQ(events, (std::vector<std::string>{"loaded:2", "late:2"}));
}

TEST_F(SceneLoaderTest, LoadingEmptiesTheWorldFirstAndFindsTheExtension) {
  Write("scenes/a.vscene", R"(<scene><entity key="A"/></scene>)");
  Write("scenes/b.vscene", R"(<scene><entity key="B"/></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes/a"));
  ASSERT_NE(Vision::Game.SearchEntity("A"), nullptr);
  std::vector<std::string> events;
  CountingHandler deinit(Vision::Callbacks.OnWorldDeInit, events, "worldDeInit");

  ASSERT_TRUE(Vision::LoadWorld("scenes/b"));
  EXPECT_EQ(events, std::vector<std::string>{"worldDeInit:1"});
  EXPECT_EQ(Vision::Game.SearchEntity("A"), nullptr);
  EXPECT_NE(Vision::Game.SearchEntity("B"), nullptr);
  EXPECT_STREQ(Vision::World.GetSceneFile(), "scenes/b.vscene");
}

TEST_F(SceneLoaderTest, RefusedFilesFailReadablyAndLeaveTheWorldAlone) {
  struct Case {
    const char* text;  // null: no file at all
    const char* error;
  };
  const Case cases[] = {
      {nullptr, "not found"},
      {"<scene><entity key=\"x\"></scene>", "line 1"},
      {"<world/>", "root element is not <scene>"},
      {"<scene>\n<entity position=\"1/2\"/></scene>", "line 2: position \"1/2\" is not x/y/z"},
      {"<scene><entity orientation=\"a/b/c\"/></scene>", "orientation"},
      {"<scene><terrain height=\"low\"/></scene>", "terrain height"},
      {"<scene><entity><var value=\"1\"/></entity></scene>", "<var> needs a name"},
      {"<scene><entity><component name=\"c\"/></entity></scene>", "<component> needs a class"},
  };
  new VisBaseEntity_cl();
  Vision::World.SetFlatTerrain(1.0f);
  for (const Case& c : cases) {
    std::filesystem::remove(m_dir / "scenes/bad.vscene");
    if (c.text) Write("scenes/bad.vscene", c.text);
    Vision::File.ClearCache();
    app.calls.clear();
    VSceneLoader loader;
    EXPECT_FALSE(loader.LoadScene("scenes/bad.vscene")) << c.error;
    EXPECT_EQ(loader.GetStatus(), VSceneLoader::STATUS_FAILED);
    EXPECT_TRUE(loader.IsFinished());
    const std::string error = loader.GetLastError();
    EXPECT_NE(error.find("scenes/bad.vscene"), std::string::npos) << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    ASSERT_EQ(app.calls.size(), 1u);
    EXPECT_EQ(app.calls[0].status, VSceneLoader::STATUS_FAILED);
    EXPECT_EQ(LiveEntities(), 1) << c.error;
    EXPECT_TRUE(Vision::World.HasTerrain());
  }
  VSceneLoader loader;
  EXPECT_FALSE(loader.LoadScene(nullptr));
  EXPECT_EQ(loader.GetStatus(), VSceneLoader::STATUS_FAILED);
}

TEST_F(SceneLoaderTest, IdsOutsideTheScriptRangeOrTakenSkipTheirEntity) {
  struct Case {
    const char* id;
    bool created;
  };
  const Case cases[] = {
      {"9007199254740992", true},    // 2^53 is still exact in a script number
      {"9007199254740993", false},   // above 2^53
      {"18446744073709551616", false},
      {"0", false},
      {"-7", false},
      {"12ab", false},
      {"77", true},
  };
  std::string text = "<scene>";
  for (const Case& c : cases) text += std::string("<entity key=\"k") + c.id + "\" id=\"" + c.id + "\"/>";
  text += R"(<entity key="dup" id="77"/></scene>)";
  Write("scenes/ids.vscene", text);

  ASSERT_TRUE(Vision::LoadWorld("scenes/ids.vscene"));
  for (const Case& c : cases)
    EXPECT_EQ(Vision::Game.SearchEntity((std::string("k") + c.id).c_str()) != nullptr, c.created) << c.id;
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(int64_t(1) << 53), Vision::Game.SearchEntity("k9007199254740992"));
  EXPECT_EQ(Vision::Game.SearchEntity("dup"), nullptr);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(77), Vision::Game.SearchEntity("k77"));
  EXPECT_EQ(log.Matching("entity skipped").size(), 6u);
}

TEST_F(SceneLoaderTest, UnknownClassesAndRefusedComponentsAreSkippedWithALogLine) {
  Write("scenes/odd.vscene", R"(<scene>
  <entity class="NoSuchEntity" key="ghost"/>
  <entity class="SceneProbeComponent" key="notAnEntity"/>
  <entity key="plain">
    <var name="m_iMissing" value="1"/>
    <component class="NoSuchComponent"/>
    <component class="SceneProbeComponent" name="refused"/>
  </entity>
  <lights/>
</scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes/odd.vscene"));
  EXPECT_EQ(Vision::Game.SearchEntity("ghost"), nullptr);
  EXPECT_EQ(Vision::Game.SearchEntity("notAnEntity"), nullptr);
  VisBaseEntity_cl* plain = Vision::Game.SearchEntity("plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->GetComponentCount(), 0);
  EXPECT_TRUE(log.Contains("NoSuchEntity is not an entity class"));
  EXPECT_TRUE(log.Contains("has no variable m_iMissing"));
  EXPECT_TRUE(log.Contains("NoSuchComponent is not a component class"));
  EXPECT_TRUE(log.Contains("component SceneProbeComponent refused"));
  EXPECT_TRUE(log.Contains("unknown element <lights>"));
}

TEST_F(SceneLoaderTest, EmptyWorldDeletesEntitiesAndForgetsTheScene) {
  Write("scenes/s.vscene", R"(<scene><terrain/><entity key="A"/></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes/s.vscene"));
  EXPECT_TRUE(Vision::World.HasTerrain());
  EXPECT_EQ(Vision::World.GetHeightAtWorldPos(0, 0), 0.0f);
  std::vector<std::string> events;
  CountingHandler deinit(Vision::Callbacks.OnWorldDeInit, events, "worldDeInit");

  EXPECT_TRUE(Vision::LoadWorld(nullptr));
  EXPECT_EQ(events, std::vector<std::string>{"worldDeInit:1"});
  EXPECT_EQ(LiveEntities(), 0);
  EXPECT_FALSE(Vision::World.HasTerrain());
  EXPECT_STREQ(Vision::World.GetSceneFile(), "");
  EXPECT_FALSE(Vision::World.IsWorldUnloading());
}

TEST_F(SceneLoaderTest, SceneScriptIsLoadedSharedWithTheScriptManagerAndDroppedOnUnload) {
  Write("scenes/harbour.lua", "sName = 'harbour'\n");
  Write("scenes/s.vscene", R"(<scene script="scenes\Harbour.lua"/>)");
  Write("scenes/noscript.vscene", R"(<scene script="scenes\missing.lua"><entity key="A"/></scene>)");

  ASSERT_TRUE(Vision::LoadWorld("scenes/s.vscene"));
  IVScriptInstance* script = Vision::World.GetSceneScript();
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(Vision::GetScriptManager()->GetSceneScript(), script);
  VString name;
  ASSERT_TRUE(script->GetGlobal("sName", name));
  EXPECT_EQ(name, "harbour");

  // A missing script is tolerated like any other missing resource.
  ASSERT_TRUE(Vision::LoadWorld("scenes/noscript.vscene"));
  EXPECT_EQ(Vision::World.GetSceneScript(), nullptr);
  EXPECT_NE(Vision::Game.SearchEntity("A"), nullptr);
  EXPECT_TRUE(log.Contains("script scenes\\missing.lua could not be loaded"));

  ASSERT_TRUE(Vision::LoadWorld("scenes/s.vscene"));
  EXPECT_TRUE(Vision::LoadWorld(nullptr));
  EXPECT_EQ(Vision::GetScriptManager()->GetSceneScript(), nullptr);
}

}  // namespace
