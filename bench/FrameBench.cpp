// One game frame of 500 entities with 4 ticking components each: the engine's
// per-frame callback dispatch into the game manager, the entities and the
// components, beside a plain loop making the same virtual calls over the same
// objects. The per-frame time is the "time_per_frame" counter.
#include "core/BaseComponent.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"

#include "engine/Vision.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kEntities = 500;
constexpr int kComponentsPerEntity = 4;

// A component with per-frame work, registered as game components register.
class TickingComponent : public BaseComponent, public IVisCallbackHandler_cl {
 public:
  ~TickingComponent() override { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }
  void SetOwner(VisTypedEngineObject_cl* owner) override {
    BaseComponent::SetOwner(owner);
    if (owner)
      Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    else
      Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
  }
  virtual void Update() {
    m_fElapsed += Vision::Timer.GetTimeDifference();
    m_fSum += static_cast<VisObject3D_cl*>(GetOwner())->GetPosition().x;
  }

 private:
  float m_fElapsed = 0.0f;
  float m_fSum = 0.0f;
};

// The world of the benchmark: the game manager playing at sea with the player's
// ship, and the entities with their components.
class World {
 public:
  World() {
    Vision::Timer.SetFixedTimeStep(1.0f / 60.0f);
    Vision::Timer.Update();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    RtsManager::GlobalManager().OneTimeInit();
    game = GameManager::GetInstance();
    game->OneTimeInit();
    game->AddNation(new Nation(0, "Neutral"));
    game->AddNation(new Nation(1, "Player"));
    stats.SetPlayerShip(true);
    auto* ship = new ShipEntity();
    ship->SetStats(&stats);
    game->GetNation(1u)->AddShip(ship);
    entities.push_back(ship);
    game->SetLocation(2);
    game->SetPlayTheGame(true);

    for (int i = 0; i < kEntities; ++i) {
      auto* entity = new BaseEntity();
      entity->SetPosition(VisVector_cl((float)i, 0.0f, 0.0f));
      entities.push_back(entity);
      for (int c = 0; c < kComponentsPerEntity; ++c) {
        auto* component = new TickingComponent();
        entity->AddComponent(component);
        components.push_back(component);
      }
    }
  }
  ~World() {
    GameManager::CleanInstance();
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::World.UnloadWorld();
  }

  GameManager* game = nullptr;
  ShipStats stats;
  std::vector<BaseEntity*> entities;
  std::vector<TickingComponent*> components;
};

World& TheWorld() {
  static World world;
  return world;
}

void BM_EngineDispatch(benchmark::State& state) {
  TheWorld();
  IVisCallbackDataObject_cl data(&Vision::Callbacks.OnUpdateSceneBegin);
  for (auto _ : state) Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks(&data);
  state.counters["time_per_frame"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate |
                                                                                        benchmark::Counter::kInvert);
}

void BM_PlainLoop(benchmark::State& state) {
  World& world = TheWorld();
  IVisCallbackDataObject_cl data(&Vision::Callbacks.OnUpdateSceneBegin);
  for (auto _ : state) {
    world.game->OnHandleCallback(&data);
    for (BaseEntity* entity : world.entities) entity->OnHandleCallback(&data);
    for (TickingComponent* component : world.components) component->OnHandleCallback(&data);
  }
  state.counters["time_per_frame"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate |
                                                                                        benchmark::Counter::kInvert);
}

BENCHMARK(BM_EngineDispatch);
BENCHMARK(BM_PlainLoop);

}  // namespace

BENCHMARK_MAIN();
