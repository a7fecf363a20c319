// The application frame: data folders, video modes, help lines, the engine
// start, frames with FPS and debug keys, scene-load states and the shutdown paths.
#include "core/VisMainApp.h"

#include "Factories/ShipFactory.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "Managers/MouseCursorManager.h"
#include "Managers/MusicManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "core/GameManager.h"
#include "gui/GUIManager.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
std::string MakeTempDir(const char* stem) {
  std::string pattern = (fs::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
  return mkdtemp(pattern.data()) ? pattern : std::string();
}

class VisMainAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    documents = MakeTempDir("mainapp-docs");
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    app = VisMainApp::GetInstance();
  }
  void TearDown() override {
    if (app->IsInitialized()) app->DeInitSample();
    VisMainApp::CleanInstance();
    GameManager::CleanInstance();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Key.Reset();
    VVideo::UseDefaultAdapters();
    Vision::File.RemoveAllDataDirectories();
    fs::remove_all(documents);
  }
  // A windowed start without data folders.
  bool Init(int flags = 0x8010 | 0x800, int width = 640, int height = 480, int inputFlags = 0xD2) {
    return app->InitSample("Test", nullptr, flags, width, height, inputFlags, 0);
  }
  // One frame with a key held, released afterwards.
  bool RunWithKey(int key, int scanCode) {
    Vision::Key.InjectKey(key, scanCode, true);
    const bool result = app->Run();
    Vision::Key.InjectKey(key, scanCode, false);
    return result;
  }

  std::string documents;
  std::unique_ptr<ScopedEnv> docsEnv;
  VisMainApp* app = nullptr;
  LogCapture log;
};

// Help lines -----------------------------------------------------------------

TEST_F(VisMainAppTest, DefaultHelpLinesNameGravityOnlyWithAPhysicsModule) {
  EXPECT_TRUE(app->LoadHelpFile(nullptr, true));
  ASSERT_EQ(app->GetHelpLineCount(), 12);
  EXPECT_STREQ(app->GetHelpLine(0), "F1 - Help");
  EXPECT_STREQ(app->GetHelpLine(6), "F8 - Save screenshot");
  EXPECT_STREQ(app->GetHelpLine(11), "ESC - Quit");

  vPhysXModule physics;
  vPhysXModule::SetInstance(&physics);
  app->LoadHelpFile(nullptr, true);
  vPhysXModule::SetInstance(nullptr);
  ASSERT_EQ(app->GetHelpLineCount(), 13);
  EXPECT_STREQ(app->GetHelpLine(6), "F7 - Toggle gravity");

  app->LoadHelpFile(nullptr, false);
  EXPECT_EQ(app->GetHelpLineCount(), 0);
}

TEST_F(VisMainAppTest, HelpFileIsReadFromTheFirstDataFolderHoldingIt) {
  const std::string data = MakeTempDir("mainapp-help");
  std::ofstream(data + "/help.txt") << "first line\nsecond line\n";
  Vision::File.AddDataDirectory(data.c_str());
  EXPECT_TRUE(app->LoadHelpFile("help.txt", false));
  ASSERT_EQ(app->GetHelpLineCount(), 2);
  EXPECT_STREQ(app->GetHelpLine(1), "second line");

  EXPECT_FALSE(app->LoadHelpFile("missing.txt", true));
  EXPECT_EQ(app->GetHelpLineCount(), 12);
  fs::remove_all(data);
}

TEST_F(VisMainAppTest, SetHelpTextGrowsTheListAndNullAddsAnEmptyLine) {
  app->LoadHelpFile(nullptr, false);
  app->SetHelpText(2, "third");
  app->AddHelpText(nullptr);
  ASSERT_EQ(app->GetHelpLineCount(), 4);
  EXPECT_STREQ(app->GetHelpLine(0), "");
  EXPECT_STREQ(app->GetHelpLine(2), "third");
  EXPECT_STREQ(app->GetHelpLine(3), "");
  app->SetHelpText(0, "first");
  EXPECT_EQ(app->GetHelpLineCount(), 4);
  EXPECT_STREQ(app->GetHelpLine(0), "first");
}

// Data folders -----------------------------------------------------------------

struct DataDirCase {
  const char* name;
  std::vector<std::string> files;    // relative to the program folder
  std::vector<std::string> folders;  // relative to the program folder
  const char* added;                 // logged candidate, or null when none exists
  friend void PrintTo(const DataDirCase& c, std::ostream* os) { *os << '"' << c.name << "\" -> " << (c.added ? c.added : "none"); }
};

class AddSampleDataDirCases : public VisMainAppTest, public ::testing::WithParamInterface<DataDirCase> {};

TEST_P(AddSampleDataDirCases, AddsTheFirstCandidateThatExists) {
  const DataDirCase& c = GetParam();
  const std::string root = MakeTempDir("mainapp-tree");
  const std::string program = root + "/bin/linux-x64/test";
  fs::create_directories(program);
  fs::create_directories(root + "/data");
  for (const std::string& f : c.files) {
    fs::create_directories(fs::path(program + "/" + f).parent_path());
    std::ofstream(program + "/" + f) << "package";
  }
  for (const std::string& d : c.folders) fs::create_directories(program + "/" + d);
  const fs::path previous = fs::current_path();
  fs::current_path(program);

  const bool added = app->AddSampleDataDir(c.name);
  fs::current_path(previous);
  fs::remove_all(root);

  const std::vector<std::string> lines = log.Matching("Adding data directory");
  if (!c.added) {
    EXPECT_FALSE(added);
    EXPECT_TRUE(lines.empty());
    return;
  }
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], std::string("Adding data directory \"") + c.added + "\"");
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, AddSampleDataDirCases,
    ::testing::Values(
        DataDirCase{"pkg", {"pkg.v", "pkg.zip"}, {"pkg"}, ".\\pkg.v"},
        DataDirCase{"pkg", {"pkg.zip"}, {"pkg"}, ".\\pkg.zip"},
        DataDirCase{"dir", {"../../../data/dir.v"}, {"dir"}, ".\\dir"},
        DataDirCase{"other", {"../../../data/other.zip"}, {"../../../data/other"}, "..\\..\\..\\data\\other.zip"},
        DataDirCase{"deep", {}, {"../../../data/deep"}, "..\\..\\..\\data\\deep"},
        DataDirCase{"none", {}, {}, nullptr},
        DataDirCase{"", {}, {}, nullptr}));

// Video modes -----------------------------------------------------------------

struct ModeCase {
  int width, height, refresh;
  int expectedWidth, expectedHeight, expectedRefresh;
  friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.width << "x" << c.height << "@" << c.refresh; }
};

class ClosestVideoModeCases : public VisMainAppTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ClosestVideoModeCases, PicksTheSmallestDistanceAndTheFirstOnTies) {
  VVideo::SetFakeAdapters({{{1920, 1080, 60, 32}, {800, 600, 60, 32}, {1000, 600, 60, 32}, {1024, 768, 60, 32},
                            {1280, 720, 60, 32}, {1280, 720, 75, 32}}});
  const ModeCase& c = GetParam();
  VVideoMode mode;
  ASSERT_TRUE(app->GetClosestVideoMode(mode, c.width, c.height, c.refresh));
  EXPECT_EQ(mode.m_iXRes, c.expectedWidth);
  EXPECT_EQ(mode.m_iYRes, c.expectedHeight);
  EXPECT_EQ(mode.m_iRefreshRate, c.expectedRefresh);
}

INSTANTIATE_TEST_SUITE_P(Modes, ClosestVideoModeCases,
                         ::testing::Values(ModeCase{1024, 768, 60, 1024, 768, 60},
                                           ModeCase{1000, 700, 60, 1024, 768, 60},
                                           ModeCase{900, 600, 60, 800, 600, 60},  // tie: the first listed
                                           ModeCase{1280, 720, 70, 1280, 720, 75},
                                           ModeCase{4000, 3000, 60, 1920, 1080, 60}));

TEST_F(VisMainAppTest, NoVideoModeShowsTheSizeTheRecordHeld) {
  VVideo::SetFakeAdapters({});
  VVideoMode mode;
  mode.m_iXRes = 1234;
  mode.m_iYRes = 567;
  EXPECT_FALSE(app->GetClosestVideoMode(mode, 800, 600, 60));
  EXPECT_TRUE(log.Contains("Resolution (1234x567) not supported!"));
  EXPECT_EQ(mode.m_iXRes, 1234);
  EXPECT_TRUE(Vision::Mouse.IsReleased());
}

// Engine start -----------------------------------------------------------------

struct StartFlagsCase {
  int flags;
  const char* expected;  // part of the engine's start line
  friend void PrintTo(const StartFlagsCase& c, std::ostream* os) { *os << "flags " << std::hex << c.flags; }
};

class InitSampleFlagCases : public VisMainAppTest, public ::testing::WithParamInterface<StartFlagsCase> {};

TEST_P(InitSampleFlagCases, FlagsReachTheEngineStart) {
  ASSERT_TRUE(Init(GetParam().flags | 0x800));
  const std::vector<std::string> start = log.Matching("Engine start:");
  ASSERT_EQ(start.size(), 1u);
  EXPECT_NE(start[0].find(GetParam().expected), std::string::npos) << start[0];
}

INSTANTIATE_TEST_SUITE_P(
    Flags, InitSampleFlagCases,
    ::testing::Values(StartFlagsCase{0x8010, "multisample=0 vsync=1 switches=0/0/1 input=0xD2 title=\"Brinemark\""},
                      StartFlagsCase{0x2000, "switches=1/1/0"}, StartFlagsCase{0x4, "multisample=1"},
                      StartFlagsCase{0x8 | 0x4, "multisample=2"}, StartFlagsCase{0x400 | 0x8, "multisample=3"}));

TEST_F(VisMainAppTest, InputFlagsAndTripleWideComeFromTheArguments) {
  ASSERT_TRUE(Init(0x8010 | 0x800, 3900, 1000, 0x52));
  EXPECT_TRUE(app->IsTripleWide());
  EXPECT_TRUE(log.Contains("input=0x52"));
  EXPECT_EQ(Vision::GetApplication(), app);
  EXPECT_NE(VisMainApp::GetInputMap(), nullptr);
  EXPECT_TRUE(Vision::Actions.IsConsoleManagerEnabled());
}

TEST_F(VisMainAppTest, EngineSetUpLeavesOneProcessorToTheMainThread) {
  Vision::Error.SetReportBenignWarnings(true);
  ASSERT_TRUE(app->InitSample("Test", nullptr, 0x8010 | 0x800, 640, 480, 0xD2, 4));
  EXPECT_EQ(Vision::File.GetReadCacheSize(), 0x100000);
  EXPECT_EQ(VStreamProcessor::GetThreadCount(), 1);
  EXPECT_EQ(Vision::GetThreadManager().GetThreadCount(), 3);
  EXPECT_FALSE(Vision::Error.IsReportingBenignWarnings());
  app->DeInitSample();

  // One thread asked for still leaves one worker; 0 takes the processor count.
  ASSERT_TRUE(app->InitSample("Test", nullptr, 0x8010 | 0x800, 640, 480, 0xD2, 1));
  EXPECT_EQ(Vision::GetThreadManager().GetThreadCount(), 1);
  app->DeInitSample();
  ASSERT_TRUE(Init());
  EXPECT_EQ(Vision::GetThreadManager().GetThreadCount(), std::max(VGetProcessorCount() - 1, 1));
}

TEST_F(VisMainAppTest, FailedEngineStartShowsItsMessageAndReturnsFalse) {
  ScopedEnv fail("ENGINE_FAIL_INIT", "1");
  EXPECT_FALSE(Init());
  EXPECT_TRUE(log.Contains("Failed to initialize the engine"));
  EXPECT_FALSE(app->IsInitialized());
}

// Frames -----------------------------------------------------------------

struct FPSCase {
  float step;
  int frames;
  float expectedFPS;
  friend void PrintTo(const FPSCase& c, std::ostream* os) { *os << c.frames << " frames of " << c.step << " s"; }
};

class FPSCases : public VisMainAppTest, public ::testing::WithParamInterface<FPSCase> {};

TEST_P(FPSCases, FPSIsUpdatedOnceTheIntervalIsReached) {
  ASSERT_TRUE(Init());
  Vision::Timer.SetFixedTimeStep(GetParam().step);
  for (int i = 0; i < GetParam().frames; ++i) ASSERT_TRUE(app->Run());
  EXPECT_FLOAT_EQ(app->GetFPS(), GetParam().expectedFPS);
}

// Each frame counts the time of the frame before it (the first one 0).
INSTANTIATE_TEST_SUITE_P(Intervals, FPSCases,
                         ::testing::Values(FPSCase{0.1f, 2, 20.0f},  // exactly the interval
                                           FPSCase{0.05f, 2, 0.0f}, FPSCase{0.05f, 3, 30.0f}));

TEST_F(VisMainAppTest, F2TogglesTheFPSLine) {
  ASSERT_TRUE(Init());
  Vision::Timer.SetFixedTimeStep(0.1f);
  ASSERT_TRUE(RunWithKey(VGLK_F2, -1));
  EXPECT_TRUE(app->IsShowingFPS());
  ASSERT_TRUE(app->Run());
  const std::vector<VisMessage_cl::Entry>& entries = Vision::Message.GetFrameEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].text, "FPS :   20");
  EXPECT_EQ(entries[0].x, 10.0f);
  EXPECT_EQ(entries[0].y, (float)(VVideo::GetCurrentHeight() - 20));
  ASSERT_TRUE(RunWithKey(VGLK_F2, -1));
  EXPECT_FALSE(app->IsShowingFPS());
}

TEST_F(VisMainAppTest, Flag0x1000DropsDebugKeysAndHelpButKeepsThePauseKey) {
  ASSERT_TRUE(Init(0x8010 | 0x800 | 0x1000));
  EXPECT_EQ(app->GetHelpLineCount(), 0);
  ASSERT_TRUE(RunWithKey(VGLK_F2, -1));
  EXPECT_FALSE(app->IsShowingFPS());
  ASSERT_TRUE(RunWithKey(-1, 25));
  EXPECT_TRUE(PauseManager::GetInstance()->IsFullPaused());
  ASSERT_TRUE(RunWithKey(-1, 25));
  EXPECT_FALSE(PauseManager::GetInstance()->IsFullPaused());
}

TEST_F(VisMainAppTest, PauseKeyDoesNothingWhileTheConsoleIsOpen) {
  ASSERT_TRUE(Init());
  Vision::Actions.SetConsoleOpen(true);
  ASSERT_TRUE(RunWithKey(-1, 25));
  Vision::Actions.SetConsoleOpen(false);
  EXPECT_FALSE(PauseManager::HasInstance() && PauseManager::GetInstance()->IsFullPaused());
}

TEST(VisMainAppDebugRender, CycleDoublesUpTo0x80000AndWrapsToZero) {
  std::vector<unsigned> seen;
  unsigned flags = 0;
  for (int i = 0; i < 23; ++i) {
    seen.push_back(flags);
    flags = VisMainApp::NextDebugRenderFlags(flags);
  }
  std::vector<unsigned> expected = {0};
  for (unsigned f = 1; f <= 0x80000; f *= 2) expected.push_back(f);
  expected.push_back(0);
  expected.push_back(1);
  EXPECT_EQ(seen, expected);

  EXPECT_STREQ(VisMainApp::GetDebugRenderFlagName(0x1), "Display vision version");
  EXPECT_STREQ(VisMainApp::GetDebugRenderFlagName(0x10), "Display visibility objects");
  EXPECT_STREQ(VisMainApp::GetDebugRenderFlagName(0x4000), "Scripting statistics");
  EXPECT_STREQ(VisMainApp::GetDebugRenderFlagName(0x20000), "Display streaming zones");
  EXPECT_STREQ(VisMainApp::GetDebugRenderFlagName(0x800), "");
  EXPECT_STREQ(VisMainApp::GetDebugRenderFlagName(0), "");
}

// The frame events of the game's bus wrap the engine's frame.
class FrameOrderRecorder : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    if (data->m_pSender == &GameManager::Callbacks.OnPreFrame) {
      order.push_back("pre");
      entities.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
    } else if (data->m_pSender == &GameManager::Callbacks.OnPostFrame) {
      order.push_back("post");
      entities.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
    } else {
      order.push_back("engine");
    }
  }
  std::vector<std::string> order;
  std::vector<VisBaseEntity_cl*> entities;
};

TEST_F(VisMainAppTest, RunRaisesPreFrameBeforeAndPostFrameAfterTheEngineFrame) {
  ASSERT_TRUE(Init());
  FrameOrderRecorder recorder;
  GameManager::Callbacks.OnPreFrame.RegisterCallback(&recorder);
  GameManager::Callbacks.OnPostFrame.RegisterCallback(&recorder);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(&recorder);
  app->Run();
  app->Run();
  GameManager::Callbacks.OnPreFrame.DeregisterCallback(&recorder);
  GameManager::Callbacks.OnPostFrame.DeregisterCallback(&recorder);
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(&recorder);
  EXPECT_EQ(recorder.order, (std::vector<std::string>{"pre", "engine", "post", "pre", "engine", "post"}));
  for (VisBaseEntity_cl* e : recorder.entities) EXPECT_EQ(e, nullptr);
}

// Scene loading -----------------------------------------------------------------

TEST_F(VisMainAppTest, WithoutASceneTheStateMovesFromIdleToRunning) {
  ASSERT_TRUE(Init());
  EXPECT_EQ(app->GetSceneLoadState(), 0);
  EXPECT_TRUE(app->Run());
  EXPECT_EQ(app->GetSceneLoadState(), 3);
  EXPECT_TRUE(app->Run());
  EXPECT_EQ(app->GetSceneLoadState(), 4);
  EXPECT_TRUE(app->Run());
  EXPECT_EQ(app->GetSceneLoadState(), 4);
}

TEST_F(VisMainAppTest, LoadSceneAddsTheExtensionAndRestartsTheStates) {
  ASSERT_TRUE(Init());
  const std::string data = MakeTempDir("mainapp-scene");
  std::ofstream(data + "/harbour.vscene") << "<scene/>\n";
  Vision::File.AddDataDirectory(data.c_str());
  app->Run();
  app->Run();
  ASSERT_EQ(app->GetSceneLoadState(), 4);

  // The load waits for the loader, which finishes at once here: "just finished".
  app->LoadScene("harbour");
  EXPECT_EQ(app->GetSceneLoadState(), 3);
  app->Run();
  EXPECT_EQ(app->GetSceneLoadState(), 4);
  app->LoadScene("HARBOUR.VSCENE");
  EXPECT_EQ(app->GetSceneLoadState(), 3);
  app->Run();

  // No name loads nothing.
  app->LoadScene(nullptr);
  app->LoadScene("");
  EXPECT_EQ(app->GetSceneLoadState(), 4);
  // A refused scene is fatal.
  EXPECT_THROW(app->LoadScene("missing"), std::runtime_error);
  fs::remove_all(data);
}

// Shutdown paths -----------------------------------------------------------------

TEST_F(VisMainAppTest, QuitDeletesTheCampaignSingletonsAndEndsTheLoop) {
  ASSERT_TRUE(Init());
  GameManager::GetInstance();
  ShipFactory::GetInstance();
  JokeManager::GetInstance();
  PauseManager::GetInstance();
  SoundManager::GetInstance();
  app->Quit();
  EXPECT_FALSE(app->Run());
  EXPECT_FALSE(GameManager::HasInstance());
  EXPECT_FALSE(ShipFactory::HasInstance());
  EXPECT_FALSE(JokeManager::HasInstance());
  EXPECT_FALSE(PauseManager::HasInstance());
  // Not a campaign singleton: the de-init deletes it.
  EXPECT_TRUE(SoundManager::HasInstance());
  SoundManager::CleanInstance();
}

TEST_F(VisMainAppTest, DeInitSampleEndsTheEngineAndDeletesItsSingletons) {
  ASSERT_TRUE(Init());
  ShipFactory::GetInstance();
  GameSessionManager::GetInstance();
  SoundManager::GetInstance();
  MusicManager::GetInstance();
  PauseManager::GetInstance();
  MouseCursorManager::GetInstance();
  GUIManager::GetInstance();
  app->DeInitSample();
  EXPECT_FALSE(app->IsInitialized());
  EXPECT_FALSE(app->IsEngineInitialized());
  EXPECT_FALSE(app->Run());
  EXPECT_EQ(VisMainApp::GetInputMap(), nullptr);
  EXPECT_EQ(Vision::GetApplication(), nullptr);
  EXPECT_FALSE(ShipFactory::HasInstance());
  EXPECT_FALSE(GameSessionManager::HasInstance());
  EXPECT_FALSE(SoundManager::HasInstance());
  EXPECT_FALSE(MusicManager::HasInstance());
  EXPECT_FALSE(PauseManager::HasInstance());
  EXPECT_FALSE(MouseCursorManager::HasInstance());
  // The game manager's end takes the GUI with it.
  EXPECT_FALSE(GUIManager::HasInstance());
}

TEST_F(VisMainAppTest, MouseCameraIsCreatedOnceAtTheOrigin) {
  ASSERT_TRUE(Init());
  VisBaseEntity_cl* camera = app->EnableMouseCamera();
  ASSERT_NE(camera, nullptr);
  EXPECT_STREQ(camera->GetClassTypeName(), "VisMouseCamera_cl");
  EXPECT_EQ(app->EnableMouseCamera(), camera);
  EXPECT_EQ(app->GetMouseCamera(), camera);
  // The world unloads: the next call makes a new camera rather than hand out the old.
  Vision::Game.RemoveAllEntities();
  EXPECT_EQ(app->GetMouseCamera(), nullptr);
  VisBaseEntity_cl* again = app->EnableMouseCamera();
  ASSERT_NE(again, nullptr);
  EXPECT_STREQ(again->GetClassTypeName(), "VisMouseCamera_cl");
}
}  // namespace
