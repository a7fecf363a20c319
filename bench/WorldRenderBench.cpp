// The world pass over the sea test scene with 40 ships made through the game's
// ship factory (the scene's two and 38 more in two lines), seen at 1280 x 720 from
// a camera above and behind the player's line: the CPU time of one frame's draw
// list and visibility, against a budget of 2 ms; and, under an X display, the whole
// frame drawn into the window.
#include "Factories/ShipFactory.h"
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "tests/support/NavalScenario.h"

#include "engine/Vision.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VisWorldRenderer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kShips = 40;
constexpr const char* kSloopScript = "scripts\\Ships\\TestSloop.lua";

class SeaScene {
 public:
  SeaScene() {
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
    RegisterLuaBindings();
    naval_scenario::StartFixedStep(99u, 1.0f / 60.0f);
    naval_scenario::AddWarringNations("Neutral", "Pirate");
    // The scene script's second ship sails for nation 5, at war with the player.
    GameManager* game = GameManager::GetInstance();
    for (int n = 3; n <= 5; ++n) game->AddNation(new Nation(n, ("Nation" + std::to_string(n)).c_str()));
    game->GetNation(1)->AddEnemy(5);
    game->GetNation(5)->AddEnemy(1);

    VVideoConfig video;
    video.m_iXRes = 1280;
    video.m_iYRes = 720;
    VVideo::Initialize(video);
    m_ok = Vision::LoadWorld("scenes\\SeaTest.vscene");
    int made = 0;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e && e->IsOfType(ShipEntity::GetClassTypeId())) ++made;
    for (int i = 0; made < kShips; ++i) {
      const int nation = (i % 2) ? 2 : 1;
      const VisVector_cl at(40.0f + 35.0f * (i / 2), nation == 1 ? -30.0f : 70.0f, 0.0f);
      if (ShipFactory::GetInstance()->CreateShip(("Ship" + std::to_string(i)).c_str(), kSloopScript, at,
                                                 VisVector_cl(0, 0, 0), nation, 0, false))
        ++made;
      else
        break;
    }
    m_ships = made;
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetFOV(0.0f, 58.71551f);
    context->SetClipPlanes(5.0f, 32000.0f);
    context->SetCameraPosition(VisVector_cl(-120.0f, 20.0f, 90.0f));
    VisMatrix3x3_cl look;
    look.SetEulerAngles(0.0f, 25.0f, 0.0f);
    context->SetCameraRotation(look);
  }
  ~SeaScene() {
    Vision::World.UnloadWorld();
    ShipFactory::CleanInstance();
    naval_scenario::CleanBattleManagers();
    naval_scenario::EndFixedStep();
    VVideo::DeInitialize();
  }
  bool ok() const { return m_ok && m_ships == kShips; }
  int ships() const { return m_ships; }

 private:
  bool m_ok = false;
  int m_ships = 0;
};

void BM_WorldPassSeaScene40Ships(benchmark::State& state) {
  SeaScene scene;
  if (!scene.ok()) {
    state.SkipWithError(("sea scene not set up: ships " + std::to_string(scene.ships())).c_str());
    return;
  }
  VisWorldRenderer_cl& pass = VisWorldRenderer_cl::GetInstance();
  for (auto _ : state) {
    pass.BuildFrame();
    benchmark::DoNotOptimize(Vision::Renderer.GetDrawList().GetItems().data());
  }
  const VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  state.counters["entities"] = (double)Vision::Game.GetEntityCount();
  state.counters["boxes"] = list.Count(VIS_DRAW_ENTITY_BOX);
  state.counters["items"] = (double)list.GetItems().size();
  state.counters["seen"] =
      (double)VisRenderContext_cl::GetMainRenderContext()->GetVisibilityCollector()->GetVisibleEntities().size();
}
BENCHMARK(BM_WorldPassSeaScene40Ships)->Unit(benchmark::kMicrosecond);

// The same frame drawn into a window (run under an X display, e.g. Xvfb with Mesa's
// software GL): the pass, its OpenGL drawing and the present, as a frame of the game.
void BM_WorldFrameInWindow(benchmark::State& state) {
  SeaScene scene;
  if (!scene.ok()) {
    state.SkipWithError("sea scene not set up");
    return;
  }
  VVideoConfig video;
  video.m_iXRes = 1280;
  video.m_iYRes = 720;
  VWindowConfig window;
  VGLDevice& device = VGLDevice::GetInstance();
  if (!std::getenv("DISPLAY") || !device.Open(video, window)) {
    state.SkipWithError("no window: run under an X display");
    return;
  }
  VisWorldRenderer_cl& pass = VisWorldRenderer_cl::GetInstance();
  for (auto _ : state) {
    device.BeginFrame();
    pass.BuildFrame();
    pass.DrawWithDevice();
    device.Present();
  }
  device.Close();
}
BENCHMARK(BM_WorldFrameInWindow)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
