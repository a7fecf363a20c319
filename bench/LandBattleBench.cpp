// A land battle to the death: two armies of units of 10 soldiers each (swordsmen,
// grenadiers whose shells hurt everyone near the impact, and riflemen, in turn) on
// a height field of 400 x 400 units fight for 60 simulated seconds at 60 Hz. Every
// unit whose soldiers all stand idle is sent at the nearest enemy unit twice a
// second; the dead fall as ragdolls. Run at 100 units (50 a side) and at 25 units.
// Reported as counters per scale: median and 99th percentile of the frame, of its
// logic (timer, callbacks, think functions, animations, particles) and of its
// physics apart (milliseconds), the survivors, the peak count of ragdoll bodies, and
// at 100 units the ratio of the frame medians (targets: the 100-unit median under a
// quarter of 16.7 ms; the ratio at most 5).
#include "components/RagdollComponent.h"
#include "core/CallbackManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include "../tests/support/LandBattleWorld.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kSoldiersPerUnit = 10;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kFrames = 60 * 60;
constexpr int kFramesPerOrder = 30;

const char* const kScripts[] = {
    "scripts\\LandUnits\\BattleMeleeSoldier.lua",
    "scripts\\LandUnits\\BattleRangedSoldier.lua",
    "scripts\\LandUnits\\BattleRifleSoldier.lua",
};

class Removals : public IVisCallbackHandler_cl {
 public:
  Removals() { GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this); }
  ~Removals() override { GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    gone.insert(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
  }
  std::set<VisBaseEntity_cl*> gone;
};

class Battle {
 public:
  explicit Battle(int units) {
    VSeedRandom(99u);
    MathTools::SetGaussianRandomState(4711u);
    Vision::Timer.Reset();
    m_world.Start(kStep);
    Vision::World.SetHeightFieldTerrain(VisVector_cl(-200, -200, 0), 400.0f, 400.0f, 2, 2, {0, 0, 0, 0});
    GameManager::GetInstance()->SetLocation(1);
    m_removals = std::make_unique<Removals>();
    // Each army in rows of five units, 12 apart, the two fronts 40 apart.
    const int perSide = units / 2;
    for (int i = 0; i < units; ++i) {
      const int side = i < perSide ? 0 : 1;
      const int k = side == 0 ? i : i - perSide;
      const float x = (side == 0 ? -20.0f : 20.0f) + (side == 0 ? -1.0f : 1.0f) * (float)(k / 5) * 10.0f;
      const float y = (float)(k % 5) * 12.0f - 24.0f;
      const std::string params = "m_iNation=\"" + std::to_string(1 + side) + "\",m_iNumSoldiers=\"" +
                                 std::to_string(kSoldiersPerUnit) + "\",m_iUnitWidth=\"3\",m_sSoldierScriptFile=\"" +
                                 kScripts[k % 3] + "\"";
      VisBaseEntity_cl* unit = Vision::Game.CreateEntity("UnitEntity", VisVector_cl(x, y, 0), nullptr, params.c_str());
      m_units.push_back(static_cast<UnitEntity*>(unit));
      for (SoldierEntity* s : m_units.back()->GetSoldiers()) m_soldiers.push_back(s);
    }
  }
  ~Battle() {
    m_removals.reset();
    m_world.Stop();
  }

  bool Alive(UnitEntity* unit) const { return !m_removals->gone.count(unit); }

  void Command() {
    LandBattleWorld::SendIdleUnitsAtNearestEnemy(m_units, [this](UnitEntity* unit) { return Alive(unit); });
  }

  int Survivors() const {
    int n = 0;
    for (SoldierEntity* s : m_soldiers) n += s->IsAlive();
    return n;
  }
  int RagdollBodies() const {
    int n = 0;
    for (SoldierEntity* s : m_soldiers)
      if (auto* r = static_cast<RagdollComponent*>(s->GetComponentOfType(RagdollComponent::GetClassTypeId())))
        n += r->GetActorCount();
    return n;
  }

 private:
  LandBattleWorld m_world;
  std::unique_ptr<Removals> m_removals;
  std::vector<UnitEntity*> m_units;
  std::vector<SoldierEntity*> m_soldiers;
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5))];
}

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

struct Times {
  std::vector<double> frame, logic, physics;
};

// One engine frame of the battle, logic and physics timed apart.
void Frame(Times* times) {
  const Clock::time_point t0 = Clock::now();
  Vision::Timer.Update();
  const float dt = Vision::Timer.GetTimeDifference();
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  Vision::Game.RunThinkFunctions();
  Vision::Animations.Update(dt);
  VisParticleGroupManager_cl::GlobalManager().Tick(dt);
  const Clock::time_point t1 = Clock::now();
  vPhysXModule::GetInstance()->OnRunPhysics(dt);
  vPhysXModule::GetInstance()->FetchPhysicsResults();
  const Clock::time_point t2 = Clock::now();
  Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
  Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
  Vision::Game.FreeRemovedEntities();
  const Clock::time_point t3 = Clock::now();
  if (!times) return;
  times->frame.push_back(Ms(t0, t3));
  times->logic.push_back(Ms(t0, t1) + Ms(t2, t3));
  times->physics.push_back(Ms(t1, t2));
}

double g_medianAt25 = 0.0;

void BM_LandBattleFrame(benchmark::State& state) {
  const int units = (int)state.range(0);
  Times times;
  int survivors = 0, peakBodies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto battle = std::make_unique<Battle>(units);
    Frame(nullptr);  // the soldiers' model comes in
    times = Times();
    peakBodies = 0;
    state.ResumeTiming();
    for (int f = 0; f < kFrames; ++f) {
      if (f % kFramesPerOrder == 0) battle->Command();
      Frame(&times);
      peakBodies = std::max(peakBodies, battle->RagdollBodies());
    }
    state.PauseTiming();
    survivors = battle->Survivors();
    battle.reset();
    state.ResumeTiming();
  }
  const double median = Percentile(times.frame, 0.5);
  state.counters["frame_median_ms"] = median;
  state.counters["frame_p99_ms"] = Percentile(times.frame, 0.99);
  state.counters["logic_median_ms"] = Percentile(times.logic, 0.5);
  state.counters["logic_p99_ms"] = Percentile(times.logic, 0.99);
  state.counters["physics_median_ms"] = Percentile(times.physics, 0.5);
  state.counters["physics_p99_ms"] = Percentile(times.physics, 0.99);
  state.counters["survivors"] = survivors;
  state.counters["peak_ragdoll_bodies"] = peakBodies;
  state.counters["share_of_16.7ms"] = median / (1000.0 / 60.0);
  if (units == 25) g_medianAt25 = median;
  if (units == 100 && g_medianAt25 > 0.0) state.counters["median_ratio_100_to_25"] = median / g_medianAt25;
}

// 25 units first, so that the 100-unit run can report the ratio.
BENCHMARK(BM_LandBattleFrame)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
