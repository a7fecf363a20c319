// Fixture of the naval-combat tests: a player nation (1) and an enemy nation (2) at
// war, ships with records and battle components, a seeded random source and engine
// frames of a fixed length.
#pragma once

#include "components/ShipBattleComponent.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "support/NavalScenario.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"
#include "engine/core/VisParticleGroupManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

// Records the messages its owner receives, into its own list or into one the test
// keeps (which outlives a component that leaves with its entity).
class MessageLog : public IVObjectComponent {
 public:
  struct Entry {
    int id;
    INT_PTR p1, p2;
  };
  explicit MessageLog(std::vector<Entry>* sink = nullptr) : entries(sink ? *sink : m_own) {}
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override { entries.push_back({id, p1, p2}); }
  static std::vector<int> Ids(const std::vector<Entry>& list) {
    std::vector<int> ids;
    for (const Entry& e : list) ids.push_back(e.id);
    return ids;
  }
  static int Count(const std::vector<Entry>& list, int id) {
    int n = 0;
    for (const Entry& e : list) n += e.id == id;
    return n;
  }
  std::vector<int> Ids() const { return Ids(entries); }
  int Count(int id) const { return Count(entries, id); }

 private:
  std::vector<Entry> m_own;

 public:
  std::vector<Entry>& entries;
};

class SeaBattleFixture : public ::testing::Test {
 protected:
  static constexpr float kStep = 1.0f / 60.0f;

  void SetUp() override {
    data = std::make_unique<ScratchDataFolder>();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    // A hull 20 long, 6 wide and 6 high standing on the water.
    data->Write("models/testship.model", "<model><bbox min=\"-10/-3/0\" max=\"10/3/6\"/></model>");
    data->Write("models/testsail.model", "<model><bbox min=\"-1/-2/0\" max=\"1/2/8\"/></model>");
    naval_scenario::StartFixedStep(20240611u, kStep);
    naval_scenario::AddWarringNations("None", "Enemy");
  }

  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    naval_scenario::CleanBattleManagers();
    stats.clear();
    naval_scenario::EndFixedStep();
    data.reset();
  }

  // A ship of the nation with a record of the given hull and sail hit points, an
  // oriented box for traces and a battle component.
  ShipEntity* MakeShip(const char* key, int nation, const VisVector_cl& position, float yaw = 0.0f, int hull = 100,
                       bool playerShip = false) {
    ShipEntity* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", position));
    ship->SetEntityKey(key);
    ship->SetNation(nation);
    ship->SetOrientation(yaw, 0.0f, 0.0f);
    ship->SetMesh("models\\testship.model");
    ship->SetTraceAccuracy(VIS_TRACEACC_OBOX);
    stats.push_back(std::make_unique<ShipStats>());
    ShipStats* record = stats.back().get();
    record->SetShipName(key);
    record->SetShipNation(nation);
    record->SetPlayerShip(playerShip);
    record->GetHull().SetMaximum(hull);
    record->GetHull().SetCurrent(hull);
    record->GetSails().SetMaximum(hull);
    record->GetSails().SetCurrent(hull);
    ship->SetStats(record);
    GameManager::GetInstance()->GetNation(nation)->AddShip(ship);
    ship->AddComponent(new ShipBattleComponent());
    return ship;
  }

  static ShipBattleComponent* BattleOf(ShipEntity* ship) { return ship->Components<ShipBattleComponent>(); }

  static MessageLog* Listen(VisTypedEngineObject_cl* object, std::vector<MessageLog::Entry>* sink = nullptr) {
    auto* log = new MessageLog(sink);
    object->AddComponent(log);
    return log;
  }

  static void Frame() { naval_scenario::Frame(); }
  static void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  // Whether the entity is still in the world (it may have been freed).
  static bool Alive(const VisBaseEntity_cl* entity) {
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e == entity && !e->IsMarkedRemoved()) return true;
    return false;
  }
  // The live entities of a class, in slot order.
  static std::vector<VisBaseEntity_cl*> EntitiesOf(const char* className) {
    std::vector<VisBaseEntity_cl*> out;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e && !e->IsMarkedRemoved() && e->IsOfType(className)) out.push_back(e);
    return out;
  }

  std::unique_ptr<ScratchDataFolder> data;
  std::vector<std::unique_ptr<ShipStats>> stats;
};
