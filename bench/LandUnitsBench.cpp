// One land-battle frame with 20 units of 10 soldiers each, all walking: the units
// run their soldiers' state machines, each walking soldier steers with its three
// probe rays and follows its path, the animations advance and the physics moves the
// character controllers. The units march to and fro between two points 30 units
// apart, turning back every 10 simulated seconds, for 60 seconds at 60 Hz. Reported
// as counters: median and 99th percentile of the frame in milliseconds, and the
// median as a share of the 16.7 ms of a 60 fps frame (target: below 0.1). Run on an
// endless flat terrain (argument 0) and on a height field of 400 x 400 units (1),
// against whose triangles the character controllers sweep.
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kUnits = 20;
constexpr int kSoldiersPerUnit = 10;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kFrames = 60 * 60;
constexpr int kFramesPerLeg = 60 * 10;
constexpr float kLeg = 30.0f;

class LandBattle {
 public:
  explicit LandBattle(bool heightField) {
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    VSeedRandom(99u);
    MathTools::SetGaussianRandomState(4711u);
    Vision::Timer.Reset();
    Vision::Timer.SetFixedTimeStep(kStep);
    vPhysXModule::SetInstance(&m_physics);
    m_physics.SetPhysicsTickCount(60, 8);
    if (heightField)
      Vision::World.SetHeightFieldTerrain(VisVector_cl(-200, -200, 0), 400.0f, 400.0f, 2, 2, {0, 0, 0, 0});
    else
      Vision::World.SetFlatTerrain(0.0f);
    RegisterLuaBindings();
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->SetLocation(1);
    const std::string params = "m_iNumSoldiers=\"" + std::to_string(kSoldiersPerUnit) +
                               "\",m_iUnitWidth=\"3\",m_sSoldierScriptFile=\"scripts\\LandUnits\\LandTestSoldier.lua\"";
    for (int i = 0; i < kUnits; ++i) {
      const VisVector_cl at((float)(i % 5) * 40.0f - 80.0f, (float)(i / 5) * 40.0f - 80.0f, 0.0f);
      VisBaseEntity_cl* unit = Vision::Game.CreateEntity("UnitEntity", at, nullptr, params.c_str());
      static_cast<UnitEntity*>(unit)->SetNation(1 + i % 2);
      m_units.push_back(static_cast<UnitEntity*>(unit));
      m_home.push_back(at);
    }
  }
  ~LandBattle() {
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    Vision::World.ClearTerrain();
    vPhysXModule::SetInstance(nullptr);
    RtsManager::GlobalManager().OneTimeDeInit();
    GameManager::CleanInstance();
    GameSessionManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    Vision::GetScriptManager()->Reset();
    Vision::Timer.SetFixedTimeStep(0.0f);
  }

  // Every unit marches out along x, or back home.
  void Order(bool out) {
    for (size_t i = 0; i < m_units.size(); ++i) {
      const VisVector_cl target = m_home[i] + VisVector_cl(out ? kLeg : 0.0f, 0.0f, 0.0f);
      m_units[i]->SendMsg(VIS_MSG_USER_UNIT_MOVE, (INT_PTR)&target, 0);
    }
  }

  int CountWalking() const {
    int walking = 0;
    for (UnitEntity* unit : m_units)
      for (SoldierEntity* soldier : unit->GetSoldiers()) walking += soldier->GetStateType() == STATE_WALK;
    return walking;
  }

 private:
  vPhysXModule m_physics;
  std::vector<UnitEntity*> m_units;
  std::vector<VisVector_cl> m_home;
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5))];
}

// One engine frame of the land battle.
void Frame() {
  Vision::Timer.Update();
  const float dt = Vision::Timer.GetTimeDifference();
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  Vision::Game.RunThinkFunctions();
  Vision::Animations.Update(dt);
  VisParticleGroupManager_cl::GlobalManager().Tick(dt);
  vPhysXModule::GetInstance()->OnRunPhysics(dt);
  vPhysXModule::GetInstance()->FetchPhysicsResults();
  Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
  Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
  Vision::Game.FreeRemovedEntities();
}

void BM_LandUnitsFrame(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> ms;
  double walking = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    auto battle = std::make_unique<LandBattle>(state.range(0) != 0);
    Frame();  // the soldiers' model comes in
    ms.clear();
    walking = 0.0;
    state.ResumeTiming();
    for (int f = 0; f < kFrames; ++f) {
      if (f % kFramesPerLeg == 0) battle->Order((f / kFramesPerLeg) % 2 == 0);
      const Clock::time_point t0 = Clock::now();
      Frame();
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      walking += battle->CountWalking();
    }
    state.PauseTiming();
    battle.reset();
    state.ResumeTiming();
  }
  const double median = Percentile(ms, 0.5);
  state.counters["frame_median_ms"] = median;
  state.counters["frame_p99_ms"] = Percentile(ms, 0.99);
  state.counters["share_of_16.7ms"] = median / (1000.0 / 60.0);
  state.counters["walking_soldiers_mean"] = walking / (double)kFrames;
}

BENCHMARK(BM_LandUnitsFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
