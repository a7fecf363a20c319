// The application frame: engine start and stop, and the order of one engine frame.
#include "engine/Vision.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

// Appends its name (and the render stage) to the event list whenever it is called.
class Recorder : public IVisCallbackHandler_cl {
 public:
  Recorder(Events& events, VCallback& cb, std::string name, std::function<void()> action = nullptr)
      : m_events(events), m_cb(cb), m_name(std::move(name)), m_action(std::move(action)) {
    m_cb.RegisterCallback(this);
  }
  ~Recorder() override { m_cb.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    std::string e = m_name;
    if (&m_cb == &Vision::Callbacks.OnRenderHook) {
      char stage[16];
      snprintf(stage, sizeof stage, ":0x%X", static_cast<VisRenderHookDataObject_cl*>(data)->m_iEntry);
      e += stage;
    }
    m_events.push_back(e);
    if (m_action) m_action();
  }

 private:
  Events& m_events;
  VCallback& m_cb;
  std::string m_name;
  std::function<void()> m_action;
};

class RecordingPhysics : public vPhysXModule {
 public:
  explicit RecordingPhysics(Events& events) : m_events(events) {}
  void OnRunPhysics(float dt) override { m_events.push_back("physics:" + std::to_string(dt).substr(0, 4)); }

 private:
  Events& m_events;
};

class RecordingApp : public VisionApp_cl {
 public:
  explicit RecordingApp(Events& events) : m_events(events) {}
  void FetchPhysicsResults() override {
    m_events.push_back("fetch");
    VisionApp_cl::FetchPhysicsResults();
  }

 private:
  Events& m_events;
};

class FrameProbeEntity : public VisBaseEntity_cl {
 public:
  explicit FrameProbeEntity(Events& events) : m_events(events) {}
  ~FrameProbeEntity() override { m_events.push_back("freed"); }
  void PreThinkFunction() override { m_events.push_back("prethink"); }
  void ThinkFunction() override { m_events.push_back("think"); }

 private:
  Events& m_events;
};

int LiveEntityCount() {
  const auto& all = Vision::Game.GetEntities();
  return (int)std::count_if(all.begin(), all.end(), [](VisBaseEntity_cl* e) { return e && !e->IsMarkedRemoved(); });
}

class AppFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::SetApplication(&app);
    Vision::Timer.SetFixedTimeStep(0.0f);
  }
  void TearDown() override {
    app.DeInitEngine();
    Vision::SetApplication(nullptr);
    vPhysXModule::SetInstance(nullptr);
    VisionApp_cl::SetEventPump(nullptr);
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::World.UnloadWorld();
  }

  Events events;
  RecordingApp app{events};
};

TEST_F(AppFrameTest, InitEngineLogsWhatItWasGivenAfterVideoInitHandlers) {
  ScopedEnv fail("ENGINE_FAIL_INIT", nullptr);
  app.m_videoConfig.m_iXRes = 1024;
  app.m_videoConfig.m_iYRes = 768;
  app.m_videoConfig.m_bFullScreen = true;
  app.m_videoConfig.m_iMultiSample = 2;
  app.m_videoConfig.m_bTripleBuffer = true;
  app.m_videoConfig.m_bResetOnFocusLoss = false;
  app.m_windowConfig.m_sTitle = "Brinemark";
  app.InitInputDevices(0xD2);
  // A handler of the video-initialising callback sets vertical sync before the start.
  Recorder vsync(events, Vision::Callbacks.OnVideoInitializing, "videoInit");
  struct VsyncOn : IVisCallbackHandler_cl {
    void OnHandleCallback(IVisCallbackDataObject_cl* d) override {
      static_cast<VisVideoInitDataObject_cl*>(d)->m_pConfig->m_bWaitVRetrace = true;
    }
  } vsyncOn;
  Vision::Callbacks.OnVideoInitializing.RegisterCallback(&vsyncOn);

  LogCapture log;
  const bool ok = app.InitEngine();
  Vision::Callbacks.OnVideoInitializing.DeregisterCallback(&vsyncOn);

  ASSERT_TRUE(ok);
  EXPECT_TRUE(log.Contains(
      "Engine start: 1024x768 fullscreen=1 adapter=0 refresh=60 multisample=2 vsync=1 switches=1/0/0 input=0xD2 "
      "title=\"Brinemark\""));
  EXPECT_EQ(events, Events{"videoInit"});
  EXPECT_TRUE(app.IsEngineInitialized());
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1024);
  EXPECT_EQ(VVideo::GetCurrentHeight(), 768);
  EXPECT_NE(VVideo::GetD3DDevice(), nullptr);
  EXPECT_TRUE(Vision::Renderer.IsRendererRunning());
  EXPECT_EQ(Vision::Mouse.GetInputFlags(), 0xD2);
  EXPECT_EQ(VisRenderContext_cl::GetCurrentContext(), VisRenderContext_cl::GetMainRenderContext());
}

TEST_F(AppFrameTest, FailInitSwitchMakesTheStartFailWithNothingStarted) {
  ScopedEnv fail("ENGINE_FAIL_INIT", "1");
  EXPECT_FALSE(app.InitEngine());
  EXPECT_FALSE(app.IsEngineInitialized());
  EXPECT_FALSE(VVideo::IsInitialized());
  EXPECT_EQ(VVideo::GetD3DDevice(), nullptr);
}

TEST_F(AppFrameTest, OneFrameRunsItsStepsInOrder) {
  ScopedEnv step("ENGINE_TIMESTEP", "0.25");
  ASSERT_TRUE(app.InitEngine());
  RecordingPhysics physics(events);
  vPhysXModule::SetInstance(&physics);
  static Events* pumped;
  pumped = &events;
  VisionApp_cl::SetEventPump([](VisionApp_cl&) { pumped->push_back("events"); });

  auto* entity = new FrameProbeEntity(events);
  auto& cb = Vision::Callbacks;
  Recorder r1(events, cb.OnUpdateSceneBegin, "sceneBegin");
  Recorder r2(events, cb.OnScriptThink, "scriptThink");
  Recorder r3(events, cb.OnFrameUpdatePreRender, "preRender");
  Recorder r4(events, cb.OnPhysicsSimulationFinished, "physicsFinished");
  Recorder r5(events, cb.OnUpdateSceneFinished, "sceneFinished");
  Recorder r6(events, cb.OnFrameUpdateLate, "late");
  // Removed during rendering, freed at the end of the same frame.
  Recorder r7(events, cb.OnRenderHook, "render", [&] {
    if (entity && events.back() == "render:0x200000") entity->Remove();
  });

  ASSERT_TRUE(app.Run());
  EXPECT_EQ(events, (Events{"events", "sceneBegin", "prethink", "think", "scriptThink", "preRender", "physics:0.25", "fetch",
                            "physicsFinished", "sceneFinished", "late", "render:0x8000", "render:0x200000",
                            "freed"}));
  EXPECT_FLOAT_EQ(Vision::Timer.GetTimeDifference(), 0.25f);
  EXPECT_EQ(app.GetFrameCount(), 1u);
  EXPECT_EQ(app.GetPresentCount(), 1u);
  EXPECT_FALSE(app.IsRendering());
  entity = nullptr;

  // Without a physics module the physics step is skipped but its callback still fires.
  vPhysXModule::SetInstance(nullptr);
  events.clear();
  ASSERT_TRUE(app.Run());
  EXPECT_EQ(events, (Events{"events", "sceneBegin", "scriptThink", "preRender", "physicsFinished", "sceneFinished", "late",
                            "render:0x8000", "render:0x200000"}));
}

TEST_F(AppFrameTest, FrameLimitQuitsAfterThatManyFrames) {
  ScopedEnv frames("ENGINE_FRAMES", "3");
  ASSERT_TRUE(app.InitEngine());
  Recorder begin(events, Vision::Callbacks.OnUpdateSceneBegin, "frame");
  LogCapture log;

  EXPECT_TRUE(app.Run());
  EXPECT_TRUE(app.Run());
  EXPECT_FALSE(log.Contains("ENGINE_FRAMES reached"));
  EXPECT_TRUE(app.Run());
  EXPECT_TRUE(log.Contains("ENGINE_FRAMES reached: quitting after 3 frames"));
  EXPECT_TRUE(app.WantsToQuit());
  // Once a quit was requested no further frame runs.
  EXPECT_FALSE(app.Run());
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(AppFrameTest, BadEnvironmentValuesAreIgnoredWithAWarning) {
  ScopedEnv frames("ENGINE_FRAMES", "3x");
  ScopedEnv step("ENGINE_TIMESTEP", "-1");
  LogCapture log;
  ASSERT_TRUE(app.InitEngine());
  EXPECT_TRUE(log.Contains("ENGINE_FRAMES=3x"));
  EXPECT_TRUE(log.Contains("ENGINE_TIMESTEP=-1"));
  EXPECT_EQ(Vision::Timer.GetFixedTimeStep(), 0.0f);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(app.Run());
}

TEST_F(AppFrameTest, DeInitEngineFiresDeInitCallbacksThenEmptiesTheWorld) {
  ASSERT_TRUE(app.InitEngine());
  new VisBaseEntity_cl();
  Vision::World.SetFlatTerrain(5.0f);
  Recorder a(events, Vision::Callbacks.OnEngineDeInit, "deinit");
  Recorder b(events, Vision::Callbacks.OnEngineDeInitLate, "deinitLate");
  Recorder c(events, Vision::Callbacks.OnWorldDeInit, "worldDeInit", [] {
    // Entities still exist while the world de-initialises.
    EXPECT_EQ(LiveEntityCount(), 1);
  });

  app.DeInitEngine();
  EXPECT_EQ(events, (Events{"deinit", "deinitLate", "worldDeInit"}));
  EXPECT_EQ(LiveEntityCount(), 0);
  EXPECT_FALSE(Vision::World.HasTerrain());
  EXPECT_FALSE(app.IsEngineInitialized());
  EXPECT_EQ(VVideo::GetCurrentWidth(), 0);
  EXPECT_EQ(VVideo::GetD3DDevice(), nullptr);
  EXPECT_FALSE(Vision::Renderer.IsRendererRunning());

  app.DeInitEngine();
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(AppFrameTest, RenderPiecesRunTheRenderHooksAndPresentOnce) {
  ASSERT_TRUE(app.InitEngine());
  Recorder hooks(events, Vision::Callbacks.OnRenderHook, "render");
  Recorder update(events, Vision::Callbacks.OnUpdateSceneBegin, "sceneBegin");

  app.BeginRendering();
  EXPECT_TRUE(app.IsRendering());
  app.GlobalTick();
  app.ActivateMainContext();
  app.RenderScene();
  app.UpdatePostRender();
  app.EndRendering();
  app.UpdateScreen();

  EXPECT_EQ(events, (Events{"render:0x8000", "render:0x200000"}));
  EXPECT_FALSE(app.IsRendering());
  EXPECT_EQ(app.GetPresentCount(), 1u);
  EXPECT_EQ(app.GetFrameCount(), 0u);
}

TEST_F(AppFrameTest, ShutdownReleasesEverythingAndCanRunTwice) {
  ASSERT_TRUE(app.InitEngine());
  new VisBaseEntity_cl();
  Recorder a(events, Vision::Callbacks.OnEngineDeInit, "deinit");

  Vision::Shutdown();
  EXPECT_FALSE(app.IsEngineInitialized());
  EXPECT_EQ(LiveEntityCount(), 0);
  EXPECT_FALSE(VVideo::IsInitialized());
  Vision::Shutdown();
  EXPECT_EQ(events, Events{"deinit"});
}

TEST_F(AppFrameTest, WindowProcedureMovesTheMouseAndReleasesKeysOnFocusLoss) {
  const INT_PTR lParam = (INT_PTR)((uint32_t)(uint16_t)-5 | ((uint32_t)300 << 16));
  EXPECT_EQ(VisionWndProc(nullptr, WM_MOUSEMOVE, 0, lParam), 0);
  EXPECT_EQ(Vision::Mouse.GetX(), -5.0f);
  EXPECT_EQ(Vision::Mouse.GetY(), 300.0f);

  Vision::Key.InjectKey('W', 0x11, true);
  ASSERT_TRUE(Vision::Key.IsPressed_SC(0x11));
  VisionWndProc(nullptr, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(Vision::Key.IsPressed_SC(0x11));
}

}  // namespace
