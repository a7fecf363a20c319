// One GUI frame (frame events, scene update, CEGUI drawing) with the head-up
// frames open and nothing changing, beside the same frame with every property of
// their widgets written again. Frames write a property only when its value
// changed; the second case shows what that saves.
#include "core/GameManager.h"
#include "engine/Vision.h"
#include "gui/BaseWindow.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>
#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// The properties the head-up frames write.
const char* const kProperties[] = {"Text", "Alpha", "Area", "Visible", "Font", "Image", "ImageColours"};
const WINDOW_TYPES kOpenFrames[] = {WT_FADE_OUT, WT_INGAME_MESSAGES, WT_PAUSE, WT_LOW_HP_OVERLAY};

class GuiScene {
 public:
  GuiScene() {
    // The GUI writes CEGUI.log into the working folder: keep it in the build tree.
    std::error_code ec;
    std::filesystem::current_path(BRINEMARK_BENCH_DIR, ec);
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    m_app.m_videoConfig.m_iXRes = 1280;
    m_app.m_videoConfig.m_iYRes = 720;
    m_app.InitEngine();
    Vision::Timer.SetFixedTimeStep(1.0f / 60.0f);
    GUIManager* gui = GUIManager::GetInstance();
    gui->Init(VVideo::GetD3DDevice());
    gui->InitLayouts();
    // A head-up frame as the current frame, notices held on both lines, the
    // pause label and the overlay on top.
    gui->ShowFrame(WT_FADE_OUT);
    gui->ShowMessage("str_LEVEL_UP", 1e9f, 2.0f);
    gui->ShowAdditionalMessage("str_GAME_OVER", 1e9f, 2.0f);
    gui->ShowWindow(WT_PAUSE, nullptr);
    gui->ShowLowHPOverlay();
    for (int i = 0; i < 10; ++i) Frame(false);
  }
  ~GuiScene() {
    GUIManager::CleanInstance();
    m_app.DeInitEngine();
    Vision::File.RemoveAllDataDirectories();
  }

  void Frame(bool rewrite) {
    Vision::Timer.Update();
    BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
    GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
    if (rewrite)
      for (WINDOW_TYPES type : kOpenFrames)
        if (BaseWindow* frame = GUIManager::GetInstance()->FindWindowA(type)) Rewrite(frame->GetRootWindow());
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
    VisRenderHookDataObject_cl render(&Vision::Callbacks.OnRenderHook, VRH_GUI);
    Vision::Callbacks.OnRenderHook.TriggerCallbacks(&render);
    BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
    GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
  }

  int CountWindows() const {
    int count = 0;
    for (WINDOW_TYPES type : kOpenFrames)
      if (BaseWindow* frame = GUIManager::GetInstance()->FindWindowA(type)) count += Count(frame->GetRootWindow());
    return count;
  }

 private:
  static void Rewrite(CEGUI::Window* window) {
    if (!window) return;
    for (const char* name : kProperties)
      if (window->isPropertyPresent(name)) window->setProperty(name, window->getProperty(name));
    for (size_t i = 0; i < window->getChildCount(); ++i) Rewrite(window->getChildAtIdx(i));
  }
  static int Count(CEGUI::Window* window) {
    int count = window ? 1 : 0;
    for (size_t i = 0; window && i < window->getChildCount(); ++i) count += Count(window->getChildAtIdx(i));
    return count;
  }

  VisionApp_cl m_app;
};

void GuiFrame(benchmark::State& state, bool rewrite) {
  GuiScene scene;
  for (auto _ : state) scene.Frame(rewrite);
  state.counters["windows"] = scene.CountWindows();
}

void BM_GuiFrameNothingChanging(benchmark::State& state) { GuiFrame(state, false); }
void BM_GuiFrameEveryPropertyRewritten(benchmark::State& state) { GuiFrame(state, true); }

BENCHMARK(BM_GuiFrameNothingChanging)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuiFrameEveryPropertyRewritten)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
