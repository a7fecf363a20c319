// Saving and loading the campaign of the bundled data with a few saved entities
// of each kind and a filled inventory, in process, the GUI headless.
//   Save: SaveGame into a slot (the file written through a temporary file, fsync,
//         rename; with ENGINE_VIDEO=gl under Xvfb also the preview: two frames
//         drawn, the back buffer read, scaled and written as JPEG). Target: 50 ms.
//   Thumbnail: SaveThumbnail alone (nothing without a window).
//   WriteBytes: the file's bytes in memory only.
//   Load: LoadGame into a campaign started afresh (the start is not timed).
//   LoadSlot: LoadSlotIntoNewCampaign as the screens call it: the running campaign
//         kept in memory, ended, a fresh one started, the slot read. Target: 100 ms
//         for the load.
// Run headless, and with a window: xvfb-run -a env ENGINE_VIDEO=gl bench_SaveLoadBench
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Missions/MissionManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/PlayerStats.h"
#include "gui/GUIManager.h"
#include "tests/support/GuiTestEnvironment.h"

#include "engine/Vision.h"
#include "engine/os/VOs.h"
#include "engine/physics/vPhysXModule.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

class Campaign {
 public:
  Campaign() {
    m_docs = std::filesystem::temp_directory_path() / ("brinemark_saveload_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(m_docs);
    setenv("ENGINE_DOCUMENTS_DIR", m_docs.c_str(), 1);
    m_env.Start(0.02f);
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
    GUIManager* gui = m_env.StartGui();
    gui->InitLayouts();
    vPhysXModule::SetInstance(&m_physics);
    RegisterLuaBindings();
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->OneTimeInit();
    gui->ShowFrame(WT_BATTLE_HUD);
    MissionManager::GlobalManager().StartCampaign();
    // Something of every kind the file holds.
    const char* classes[] = {"StaticEntity", "CollectableEntity", "UnitEntity", "SoldierEntity", "AnimalEntity"};
    for (int i = 0; i < 20; ++i) {
      VisBaseEntity_cl* e = Vision::Game.CreateEntity(classes[i % 5], VisVector_cl(10.0f * (float)i, 30.0f, 0.0f));
      static_cast<BaseEntity*>(e)->SetSave(1);
    }
    GameSessionManager* session = GameSessionManager::GetInstance();
    session->GetPlayer()->AddMoney(5000);
    for (int i = 0; i < 20; ++i) session->AddCollectable(new CollectableEntityTemplate());
    SaveGameManagerProto::GetInstance()->SaveGame(3);
  }
  ~Campaign() {
    MissionManager::GlobalManager().EndCampaign(false, false);
    std::filesystem::remove_all(m_docs);
  }

 private:
  GuiTestEnvironment m_env;
  vPhysXModule m_physics;
  std::filesystem::path m_docs;
};

Campaign& TheCampaign() {
  static Campaign campaign;
  return campaign;
}

void Save(benchmark::State& state) {
  TheCampaign();
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  for (auto _ : state) benchmark::DoNotOptimize(saves->SaveGame(4));
  state.counters["window"] = VVideo::IsHeadless() ? 0 : 1;
}

void Thumbnail(benchmark::State& state) {
  TheCampaign();
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  for (auto _ : state) saves->SaveThumbnail(saves->GetSlotInfo(4));
  state.counters["window"] = VVideo::IsHeadless() ? 0 : 1;
}

void WriteBytes(benchmark::State& state) {
  TheCampaign();
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  size_t size = 0;
  for (auto _ : state) size = saves->WriteSaveGameBytes().size();
  state.counters["bytes"] = (double)size;
}

void Load(benchmark::State& state) {
  TheCampaign();
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  MissionManager& missions = MissionManager::GlobalManager();
  int loaded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    missions.EndCampaign(false, false);
    GUIManager::GetInstance()->ShowFrame(WT_BATTLE_HUD);
    missions.StartCampaign();
    state.ResumeTiming();
    loaded += saves->LoadGame(3);
  }
  state.counters["loaded"] = (double)loaded / (double)state.iterations();
}

void LoadSlot(benchmark::State& state) {
  TheCampaign();
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  int loaded = 0;
  for (auto _ : state) loaded += saves->LoadSlotIntoNewCampaign(3);
  state.counters["loaded"] = (double)loaded / (double)state.iterations();
}

BENCHMARK(Save)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Thumbnail)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(WriteBytes)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Load)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(LoadSlot)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
