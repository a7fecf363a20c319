// Fixture of the ship tests: the game's script tables over a scratch data folder
// and the bundled data (the test sloop's script, model and configuration), nations
// 0 to 2 (1 the player's, 2 at war with it), the sea as the location, and engine
// frames of a fixed step.
#pragma once

#include "support/MessageRecorder.h"
#include "support/NavalScenario.h"
#include "support/ScriptBindingFixture.h"

#include "Factories/ShipFactory.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"

#include "engine/Vision.h"

#include <string>
#include <vector>

class ShipTestWorld : public ScriptBindingFixture {
 protected:
  static constexpr float kStep = 1.0f / 60.0f;
  static constexpr const char* kSloopScript = "scripts\\Ships\\TestSloop.lua";

  void SetUp() override {
    ScriptBindingFixture::SetUp();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
    naval_scenario::StartFixedStep(4711u, kStep);
    naval_scenario::AddWarringNations("Neutral", "Pirate");
  }

  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    ShipFactory::CleanInstance();
    BattleManager::CleanInstance();
    GameSessionManager::CleanInstance();
    GameContentManager::CleanInstance();
    ArtifactManager::CleanInstance();
    SpeechManager::CleanInstance();
    NoiseManagerProto::CleanInstance();
    SoundManager::CleanInstance();
    LocalizationTable::CleanInstance();
    naval_scenario::EndFixedStep();
    ScriptBindingFixture::TearDown();
  }

  // A ship made through the factory from the test sloop's script.
  ShipEntity* MakeSloop(const char* name, int nation, const VisVector_cl& position = VisVector_cl(0, 0, 0),
                        float yaw = 0.0f, bool player = false) {
    return ShipFactory::GetInstance()->CreateShip(name, kSloopScript, position, VisVector_cl(yaw, 0, 0), nation, 0,
                                                  player);
  }

  static MessageRecorder* Listen(VisTypedEngineObject_cl* object) {
    auto* log = new MessageRecorder();
    object->AddComponent(log);
    return log;
  }

  static void Frame() { naval_scenario::Frame(); }
  static void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }

  // Makes the global "ship" the entity's proxy.
  void SetShipGlobal(ShipEntity* ship) {
    LUA_PushObjectProxy(L, ship);
    lua_setglobal(L, "ship");
  }
};
