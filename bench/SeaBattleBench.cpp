// A sea battle of computer ships: two fleets at war, each ship made by the game's
// ship factory from the test sloop's script (so it carries what the factory gives a
// computer ship, its AI among them) and armed from code to ten cannons, five a side.
// An island rises between the fleets, so that the AI's avoidance probes meet land.
// The AI alone steers and fires, for 60 simulated seconds at a fixed 60 Hz, at 50
// and at 200 ships in the same run. Each frame is timed in parts as the engine runs
// them, in the thread's CPU time: the game logic (scene update with every
// component, the AI and cannon balls, the think pass, the physics-finished
// callbacks and the freeing of removed entities) and the physics step. Reported as
// counters per scale: median and 99th percentile in microseconds of the game
// logic, the physics step and the whole frame, the balls fired and the hits; at
// the larger scale also the ratio of its frame median to the smaller one's.
// Budget: a 200-ship frame median under 1670 us (a tenth of a 60 Hz frame) and a
// ratio of at most 5. The land, attacking and position counters tell whether a
// change left the battle as it was; the wall-clock frame median shows what a
// loaded machine adds.
#include "Factories/ShipFactory.h"
#include "Managers/GameContentManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SpeechManager.h"
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/CannonEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "tests/support/NavalScenario.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXModule.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr const char* kSloopScript = "scripts\\Ships\\TestSloop.lua";
constexpr int kCannonsPerBroadside = 5;
// Each fleet sails in two lines abreast, facing the other fleet across the island.
constexpr float kShipSpacing = 30.0f;
constexpr float kFrontLine = 50.0f;
constexpr float kLineGap = 30.0f;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kFrames = 60 * 60;
// The sea floor lies this deep; the island's crest this far above it.
constexpr float kSeaFloor = -10.0f;
constexpr float kIslandRise = 18.0f;
// The island's half-lengths along x and y at the sea floor.
constexpr float kIslandHalfX = 120.0f;
constexpr float kIslandHalfY = 25.0f;
constexpr float kHullPoints = 1000000.0f;

// Where along the hull (local x) the bench adds cannons to the sloop's two a side.
constexpr float kExtraCannonX[2][3] = {{7.0f, -2.0f, -5.0f}, {5.0f, 2.0f, -7.0f}};

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

// A height field under the whole battle: sea floor everywhere, rising to an
// elliptic island around the origin.
void RaiseIsland() {
  const float sizeX = 2400.0f, sizeY = 800.0f, cell = 10.0f;
  const int samplesX = (int)(sizeX / cell) + 1, samplesY = (int)(sizeY / cell) + 1;
  const VisVector_cl origin(-sizeX / 2, -sizeY / 2, kSeaFloor);
  std::vector<float> heights((size_t)samplesX * samplesY);
  for (int j = 0; j < samplesY; ++j) {
    for (int i = 0; i < samplesX; ++i) {
      const float x = origin.x + i * cell, y = origin.y + j * cell;
      const float r2 = (x / kIslandHalfX) * (x / kIslandHalfX) + (y / kIslandHalfY) * (y / kIslandHalfY);
      heights[(size_t)j * samplesX + i] = std::max(0.0f, kIslandRise * (1.0f - r2));
    }
  }
  Vision::World.SetHeightFieldTerrain(origin, sizeX, sizeY, samplesX, samplesY, heights);
}

class Battle {
 public:
  explicit Battle(int ships) {
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
    RegisterLuaBindings();
    naval_scenario::StartFixedStep(4242u, kStep);
    vPhysXModule::SetInstance(&m_physics);
    m_physics.SetPhysicsTickCount(60, 8);
    naval_scenario::AddWarringNations("Neutral", "Pirate");
    RaiseIsland();
    ShotCounter::shots = ShotCounter::hits = 0;

    const int perFleet = ships / 2;
    const int perLine = (perFleet + 1) / 2;
    for (int i = 0; i < perFleet; ++i) {
      const int line = i / perLine, slot = i % perLine;
      const float x = (slot - (perLine - 1) * 0.5f) * kShipSpacing;
      const float y = kFrontLine + line * kLineGap;
      MakeShip(1, VisVector_cl(x, -y, 0), 90.0f, i);
      MakeShip(2, VisVector_cl(x, y, 0), -90.0f, i);
    }
  }
  ~Battle() {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    vPhysXModule::SetInstance(nullptr);
    Vision::World.ClearTerrain();
    ShipFactory::CleanInstance();
    GameContentManager::CleanInstance();
    SpeechManager::CleanInstance();
    LocalizationTable::CleanInstance();
    naval_scenario::CleanBattleManagers();
    naval_scenario::EndFixedStep();
  }

  int Made() const { return m_made; }

  // Ships whose last probe found land (avoidance states 3 and 4), and ships still
  // attacking; outside the timed frame.
  int CountOnLand() const {
    int n = 0;
    for (const AIShipComponent* ai : m_ais) n += ai->GetAvoidanceState() == 3 || ai->GetAvoidanceState() == 4;
    return n;
  }
  int CountAttacking() const {
    int n = 0;
    for (const AIShipComponent* ai : m_ais) n += ai->GetAIMode() == AIShipComponent::AIMODE_ATTACK;
    return n;
  }
  // A digest of where the ships ended, to tell runs of the same battle apart.
  double PositionDigest() const {
    double sum = 0.0;
    for (size_t i = 0; i < m_ships.size(); ++i)
      sum += (double)(i % 7 + 1) * (m_ships[i]->GetPosition().x + 2.0 * m_ships[i]->GetPosition().y);
    return sum;
  }

 private:
  // A computer ship of the factory, made unsinkable so that the scale holds for the
  // whole run, with three more cannons a side and its AI sent against the other fleet.
  void MakeShip(int nation, const VisVector_cl& position, float yaw, int index) {
    const std::string name = "Ship" + std::to_string(nation) + "_" + std::to_string(index);
    ShipEntity* ship = ShipFactory::GetInstance()->CreateShip(name.c_str(), kSloopScript, position,
                                                              VisVector_cl(yaw, 0, 0), nation, 0, false);
    if (!ship) return;
    if (ShipStats* stats = ship->GetStats()) {
      stats->GetHull().SetMaximum(kHullPoints);
      stats->GetHull().SetCurrent(kHullPoints);
      stats->GetSails().SetMaximum(kHullPoints);
      stats->GetSails().SetCurrent(kHullPoints);
    }
    ship->AddComponent(new ShotCounter());

    // The new cannons copy a broadside cannon of the sloop's own.
    int left = 0, right = 0;
    VisVector_cl offset(0, 0, 0), place[2];
    for (int i = 0; i < ship->GetNumChildren(); ++i) {
      VisObject3D_cl* child = ship->GetChild(i);
      if (!child->IsOfType(CannonEntity::GetClassTypeId())) continue;
      auto* cannon = static_cast<CannonEntity*>(child);
      const CannonComponent* gun = cannon->Components<CannonComponent>();
      if (!gun || gun->GetCannonGroup() == CANNON_GROUP_SPECIAL) continue;
      const bool isLeft = gun->GetCannonGroup() == CANNON_GROUP_LEFT;
      ++(isLeft ? left : right);
      offset = cannon->GetOffset();
      place[isLeft ? 0 : 1] = cannon->GetLocalPosition();
    }
    for (int side = 0; side < 2; ++side) {
      const int have = side == 0 ? left : right;
      for (int i = have; i < kCannonsPerBroadside && i - have < 3; ++i) {
        auto* mount = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", position));
        mount->AttachToParent(ship);
        mount->SetLocalPosition(VisVector_cl(kExtraCannonX[side][i - have], place[side].y, place[side].z));
        mount->SetLocalOrientation(VisVector_cl(side == 0 ? 90.0f : -90.0f, 0.0f, 0.0f));
        mount->SetOffset(offset);
        auto* cannon = new CannonComponent();
        cannon->SetCannonGroup(side == 0 ? CANNON_GROUP_LEFT : CANNON_GROUP_RIGHT);
        mount->AddComponent(cannon);
      }
    }
    if (auto* observer = ship->Components<CannonObserverComponent>()) {
      observer->SetCannonCount(kCannonsPerBroadside, CANNON_GROUP_LEFT);
      observer->SetCannonCount(kCannonsPerBroadside, CANNON_GROUP_RIGHT);
      observer->SetCannonCount(2 * kCannonsPerBroadside, CANNON_GROUP_ALL);
    }
    if (auto* ai = ship->Components<AIShipComponent>()) {
      ai->SetAttackTargetNation(nation == 1 ? 2 : 1);
      ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
      m_ais.push_back(ai);
      m_ships.push_back(ship);
      ++m_made;
    }
  }

  vPhysXModule m_physics;
  int m_made = 0;
  std::vector<AIShipComponent*> m_ais;
  std::vector<ShipEntity*> m_ships;
};

// The CPU time of the calling thread: the frame's own work, which other programs on
// a loaded machine do not stretch as they stretch the wall clock.
struct ThreadClock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<ThreadClock>;
  static constexpr bool is_steady = true;
  static time_point now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return time_point(duration((rep)ts.tv_sec * 1000000000 + ts.tv_nsec));
  }
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5));
  return v[i];
}

// Frame medians by scale, for the ratio of the larger to the smaller.
std::map<int, double>& FrameMedians() {
  static std::map<int, double> medians;
  return medians;
}

void BM_SeaBattleAI(benchmark::State& state) {
  using Clock = ThreadClock;
  auto us = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); };
  const int ships = (int)state.range(0);
  std::vector<double> logic, physics, frame, wall;
  long landFrames = 0;
  int attacking = 0;
  double digest = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    auto battle = std::make_unique<Battle>(ships);
    if (battle->Made() != ships) {
      state.SkipWithError(("computer ships made: " + std::to_string(battle->Made())).c_str());
      return;
    }
    logic.clear();
    physics.clear();
    frame.clear();
    wall.clear();
    state.ResumeTiming();
    for (int f = 0; f < kFrames; ++f) {
      const auto w0 = std::chrono::steady_clock::now();
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
      wall.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - w0).count());
      logic.push_back(us(t0, t1) + us(t3, t4));
      physics.push_back(us(t2, t3));
      frame.push_back(us(t0, t4));
      landFrames += battle->CountOnLand();
    }
    state.PauseTiming();
    attacking = battle->CountAttacking();
    digest = battle->PositionDigest();
    battle.reset();
    state.ResumeTiming();
  }
  const double frameMedian = Percentile(frame, 0.5);
  state.counters["ships"] = ships;
  state.counters["logic_median_us"] = Percentile(logic, 0.5);
  state.counters["logic_p99_us"] = Percentile(logic, 0.99);
  state.counters["physics_median_us"] = Percentile(physics, 0.5);
  state.counters["physics_p99_us"] = Percentile(physics, 0.99);
  state.counters["frame_median_us"] = frameMedian;
  state.counters["frame_p99_us"] = Percentile(frame, 0.99);
  state.counters["frame_wall_median_us"] = Percentile(wall, 0.5);
  state.counters["balls"] = (double)ShotCounter::shots;
  state.counters["hits"] = (double)ShotCounter::hits;
  state.counters["land_ship_frames"] = (double)landFrames;
  state.counters["attacking_at_end"] = attacking;
  state.counters["position_digest"] = digest;
  std::map<int, double>& medians = FrameMedians();
  medians[ships] = frameMedian;
  if (medians.size() > 1 && medians.begin()->second > 0.0 && ships == medians.rbegin()->first)
    state.counters["frame_median_ratio"] = frameMedian / medians.begin()->second;
}

// The smaller scale runs first, so that the larger one reports the ratio.
BENCHMARK(BM_SeaBattleAI)->Arg(50)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
