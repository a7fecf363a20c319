// One application frame with the game plug-in started: the event bus's frame
// events around the engine frame, and inside it the hot keys, the game's update,
// each entity's mesh and deferred removals, then the components in the order in
// which they registered.
#include "Managers/GameSessionManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/Tidework.h"
#include "core/VisMainApp.h"
#include "entities/CollectableEntityTemplate.h"
#include "support/ScopedEnv.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> g_events;

// Records the frame events of the bus.
class FrameRecorder : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    g_events.push_back(data->m_pSender == &GameManager::Callbacks.OnPreFrame ? "pre-frame" : "post-frame");
  }
};

// A component with per-frame work: it registers when it gets its owner.
class Ticker : public IVObjectComponent, public IVisCallbackHandler_cl {
 public:
  explicit Ticker(const char* name) : m_name(name) {}
  ~Ticker() override { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }
  void SetOwner(VisTypedEngineObject_cl* owner) override {
    IVObjectComponent::SetOwner(owner);
    if (owner)
      Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    else
      Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  }
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {
    const bool mesh = static_cast<VisBaseEntity_cl*>(GetOwner())->HasMesh();
    g_events.push_back(m_name + (mesh ? " (mesh loaded)" : " (no mesh)"));
  }

 private:
  std::string m_name;
};

// Tells when the entity's deferred removal disposes of it.
class Removable : public IVObjectComponent {
 public:
  ~Removable() override { g_events.push_back("component removed"); }
};

class FrameOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_events.clear();
    root = MakeTempDir();
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", (root + "/docs").c_str());
    fs::create_directories(root + "/docs");
    fs::create_directories(root + "/data/scripts");
    fs::create_directories(root + "/data/models");
    std::ofstream(root + "/data/scripts/Toolbox.lua") << "function UseCollectable(self) print(\"keys\") return 0 end\n";
    std::ofstream(root + "/data/models/box.model") << "<model><bbox min=\"-1/-1/0\" max=\"1/1/2\"/></model>\n";

    app = VisMainApp::GetInstance();
    ASSERT_TRUE(app->InitSample("Test", nullptr, 0x8010 | 0x800, 640, 480, 0xD2, 0));
    ASSERT_TRUE(Vision::File.AddDataDirectory((root + "/data").c_str()));
    Vision::Timer.SetFixedTimeStep(0.1f);
    Vision::GetScriptManager()->SetGameScript(nullptr);
    plugin = GetEnginePlugin_Tidework();
    plugin->OnPluginStart();
  }
  void TearDown() override {
    GameManager::Callbacks.OnPreFrame.DeregisterCallback(&recorder);
    GameManager::Callbacks.OnPostFrame.DeregisterCallback(&recorder);
    Vision::Error.SetLogListener(nullptr);
    if (app->IsInitialized()) app->DeInitSample();
    plugin->OnPluginStop();
    VisMainApp::CleanInstance();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::Key.Reset();
    Vision::File.RemoveAllDataDirectories();
    fs::remove_all(root);
  }
  static std::string MakeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "frame-order-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
  }

  std::string root;
  std::unique_ptr<ScopedEnv> docsEnv;
  VisMainApp* app = nullptr;
  IVisPlugin_cl* plugin = nullptr;
  FrameRecorder recorder;
};

TEST_F(FrameOrderTest, KeysUpdateEntitiesAndComponentsRunInOrderInsideTheFrameEvents) {
  GameManager* game = GameManager::GetInstance();
  game->SetLocation(0);
  game->SetPlayTheGame(true);
  // The hot keys show themselves through the toolbox's script, the update through
  // the pending teleport it reports.
  auto* toolbox = new CollectableEntityTemplate();
  toolbox->m_sKey = "Toolbox";
  toolbox->m_sCollectableScriptFile = "scripts\\Toolbox.lua";
  GameSessionManager::GetInstance()->AddCollectable(toolbox);
  game->SetTeleportTarget("frame");

  BaseEntity* entity = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(5, 0, 0)));
  ASSERT_NE(entity, nullptr);
  entity->SetMeshFilename("models\\box.model");
  auto* removable = new Removable();
  entity->AddComponent(removable);
  entity->RemoveComponentDeferred(removable);
  entity->AddComponent(new Ticker("first ticker"));
  entity->AddComponent(new Ticker("second ticker"));
  GameManager::Callbacks.OnPreFrame.RegisterCallback(&recorder);
  GameManager::Callbacks.OnPostFrame.RegisterCallback(&recorder);
  Vision::Error.SetLogListener([](const std::string& line) {
    if (line.find("Lua: keys") != std::string::npos) g_events.push_back("hot keys");
    // The teleport of the update finds no scene "frame" and says so.
    if (line.find("Teleport(frame): no scene") != std::string::npos) g_events.push_back("game update");
  });

  Vision::Key.InjectKey(-1, 20, true);  // T: use the toolbox
  ASSERT_TRUE(app->Run());
  EXPECT_EQ(g_events, (std::vector<std::string>{"pre-frame", "hot keys", "game update", "component removed",
                                                 "first ticker (mesh loaded)", "second ticker (mesh loaded)",
                                                 "post-frame"}));
  EXPECT_EQ(entity->GetComponentCount(), 2);
}

}  // namespace
