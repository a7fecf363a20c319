// A sea battle of 40 ships, each with 10 cannons (five a side), two lines at war
// firing every loaded broadside for 60 simulated seconds at a fixed 60 Hz. Each
// frame is timed in parts as the engine runs them: the game logic (scene update
// with every component and cannon ball, the think pass, the physics-finished
// callbacks and the freeing of removed entities) and the physics step. Reported
// as counters: median and 99th percentile in microseconds of the game logic, the
// physics step and the whole frame, and how many balls flew and hit.
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/CannonEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "tests/support/NavalScenario.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kShipsPerSide = 20;
constexpr int kCannonsPerBroadside = 5;
constexpr float kShipSpacing = 40.0f;
constexpr float kLineDistance = 45.0f;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kFrames = 60 * 60;

// Counts the shots a ship fires and the hits it takes.
class ShotCounter : public IVObjectComponent {
 public:
  void MessageFunction(int id, INT_PTR, INT_PTR) override {
    if (id == VIS_MSG_USER_CANNON_FIRED) ++shots;
    if (id == VIS_MSG_USR_SHIP_HIT_HULL || id == VIS_MSG_USR_SHIP_HIT_SAILS) ++hits;
  }
  static inline long shots = 0;
  static inline long hits = 0;
};

class Battle {
 public:
  Battle() {
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    naval_scenario::StartFixedStep(4242u, kStep);
    vPhysXModule::SetInstance(&m_physics);
    m_physics.SetPhysicsTickCount(60, 8);
    naval_scenario::AddWarringNations("None", "Enemy");
    ShotCounter::shots = ShotCounter::hits = 0;

    for (int i = 0; i < kShipsPerSide; ++i) {
      const float x = (i - kShipsPerSide / 2) * kShipSpacing;
      m_ships.push_back(MakeShip(1, VisVector_cl(x, 0, 0), i == 0));
      m_ships.push_back(MakeShip(2, VisVector_cl(x, kLineDistance, 0), false));
    }
  }
  ~Battle() {
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    vPhysXModule::SetInstance(nullptr);
    naval_scenario::CleanBattleManagers();
    naval_scenario::EndFixedStep();
  }

  // Both broadsides of every ship are ordered every frame; only loaded cannons fire.
  void OrderBroadsides() {
    for (ShipEntity* ship : m_ships) {
      if (ship->IsMarkedRemoved()) continue;
      ship->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
      ship->SendMsg(VIS_MSG_USER_CANNON_IGNITE_RIGHT, PROJECTILE_BALL, 0);
    }
  }

 private:
  ShipEntity* MakeShip(int nation, const VisVector_cl& position, bool player) {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", position));
    ship->SetNation(nation);
    ship->SetMesh("models\\TestSloop.model");
    ship->SetTraceAccuracy(VIS_TRACEACC_OBOX);
    m_stats.push_back(std::make_unique<ShipStats>());
    ShipStats* stats = m_stats.back().get();
    stats->SetShipNation(nation);
    stats->SetPlayerShip(player);
    stats->GetHull().SetMaximum(1000000);
    stats->GetHull().SetCurrent(1000000);
    stats->GetSails().SetMaximum(1000000);
    stats->GetSails().SetCurrent(1000000);
    stats->SetCannonBallDamage(10.0f);
    ship->SetStats(stats);
    GameManager::GetInstance()->GetNation(nation)->AddShip(ship);

    auto* body = new vPhysXRigidBody();
    body->Initialize();
    body->SetBoxSize(VisVector_cl(24.0f, 8.0f, 10.0f));
    body->SetLocalOffset(VisVector_cl(0.0f, 0.0f, 3.0f));
    ship->AddComponent(body);
    ship->AddComponent(new ShipMovementComponent());
    ship->AddComponent(new ShipBattleComponent());
    ship->AddComponent(new ShotCounter());
    auto* observer = new CannonObserverComponent();
    ship->AddComponent(observer);
    observer->SetCannonCount(kCannonsPerBroadside, CANNON_GROUP_LEFT);
    observer->SetCannonCount(kCannonsPerBroadside, CANNON_GROUP_RIGHT);
    for (int side = 0; side < 2; ++side) {
      for (int i = 0; i < kCannonsPerBroadside; ++i) {
        auto* mount = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", position));
        mount->AttachToParent(ship);
        mount->SetLocalPosition(VisVector_cl(-8.0f + 4.0f * i, side == 0 ? 4.5f : -4.5f, 2.0f));
        mount->SetLocalOrientation(VisVector_cl(side == 0 ? 90.0f : -90.0f, 0.0f, 0.0f));
        mount->SetOffset(VisVector_cl(1.0f, 0.0f, 0.0f));
        auto* cannon = new CannonComponent();
        cannon->SetCannonGroup(side == 0 ? CANNON_GROUP_LEFT : CANNON_GROUP_RIGHT);
        mount->AddComponent(cannon);
      }
    }
    return ship;
  }

  vPhysXModule m_physics;
  std::vector<std::unique_ptr<ShipStats>> m_stats;
  std::vector<ShipEntity*> m_ships;
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5));
  return v[i];
}

void BM_SeaBattle(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  auto us = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); };
  std::vector<double> logic, physics, frame;
  for (auto _ : state) {
    state.PauseTiming();
    auto battle = std::make_unique<Battle>();
    logic.clear();
    physics.clear();
    frame.clear();
    state.ResumeTiming();
    for (int f = 0; f < kFrames; ++f) {
      battle->OrderBroadsides();
      const Clock::time_point t0 = Clock::now();
      Vision::Timer.Update();
      const float dt = Vision::Timer.GetTimeDifference();
      Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
      Vision::Game.RunThinkFunctions();
      const Clock::time_point t1 = Clock::now();
      Vision::Animations.Update(dt);
      VisParticleGroupManager_cl::GlobalManager().Tick(dt);
      const Clock::time_point t2 = Clock::now();
      vPhysXModule::GetInstance()->OnRunPhysics(dt);
      vPhysXModule::GetInstance()->FetchPhysicsResults();
      const Clock::time_point t3 = Clock::now();
      Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
      Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
      Vision::Game.FreeRemovedEntities();
      const Clock::time_point t4 = Clock::now();
      logic.push_back(us(t0, t1) + us(t3, t4));
      physics.push_back(us(t2, t3));
      frame.push_back(us(t0, t4));
    }
    state.PauseTiming();
    battle.reset();
    state.ResumeTiming();
  }
  state.counters["logic_median_us"] = Percentile(logic, 0.5);
  state.counters["logic_p99_us"] = Percentile(logic, 0.99);
  state.counters["physics_median_us"] = Percentile(physics, 0.5);
  state.counters["physics_p99_us"] = Percentile(physics, 0.99);
  state.counters["frame_median_us"] = Percentile(frame, 0.5);
  state.counters["frame_p99_us"] = Percentile(frame, 0.99);
  state.counters["balls"] = (double)ShotCounter::shots;
  state.counters["hits"] = (double)ShotCounter::hits;
}

BENCHMARK(BM_SeaBattle)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
