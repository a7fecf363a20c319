// Emptying the world before a saved state is read: the message every game entity
// gets, which entities go and which stay, the land-battle state reset; removing an
// engine type; the downloadable-level progress kept in the settings.
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"
#include "entities/CameraEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"
#include "entities/UnitEntity.h"
#include "support/GuiTestEnvironment.h"
#include "support/ScopedEnv.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Writes the name of its owner into a shared list for every message 500.
class Witness : public IVObjectComponent {
 public:
  Witness(std::vector<std::string>* heard, const char* name) : m_pHeard(heard), m_sName(name) {}
  void MessageFunction(int id, INT_PTR, INT_PTR) override {
    if (id == 500) m_pHeard->push_back(m_sName);
  }

 private:
  std::vector<std::string>* m_pHeard;
  std::string m_sName;
};

class SaveGameWorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(1, "Player"));
    RtsManager::GlobalManager().OneTimeInit();
  }
  void TearDown() override {
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    SaveGameManagerProto::CleanInstance();
    GameManager::CleanInstance();
  }
  VisBaseEntity_cl* Make(const char* className, const char* key, int save = -1) {
    VisBaseEntity_cl* entity = Vision::Game.CreateEntity(className, VisVector_cl(0, 0, 0));
    EXPECT_NE(entity, nullptr) << className;
    entity->SetEntityKey(key);
    if (save >= 0) static_cast<BaseEntity*>(entity)->SetSave(save);
    entity->AddComponent(new Witness(&heard, key));
    return entity;
  }
  static int Live() {
    int n = 0;
    for (VisBaseEntity_cl* entity : Vision::Game.GetEntities()) n += entity && !entity->IsMarkedRemoved();
    return n;
  }

  std::vector<std::string> heard;
};

TEST_F(SaveGameWorldTest, ClearWorldTellsTheGameEntitiesThenFreesShipsSavedEntitiesAndCameras) {
  Make("ShipEntity", "ship");
  Make("BaseEntity", "saved", 1);
  Make("BaseEntity", "unsaved", 0);
  // Towns are kept even when flagged for saving: their zone owns them.
  Make("TownEntity", "town", 1);
  Make("StrongholdEntity", "stronghold", 1);
  Make("CameraEntity_cl", "camera");
  VisBaseEntity_cl* plain = Make("VisBaseEntity_cl", "plain");
  auto* unit = static_cast<UnitEntity*>(
      Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0), nullptr, "m_iNation=\"1\",m_iNumSoldiers=\"1\""));
  unit->SetSave(0);
  RtsManager& rts = RtsManager::GlobalManager();
  rts.SetEscapeArea(plain);
  Player* player = rts.GetPlayer();
  player->AddToSelection(unit);
  ASSERT_EQ(player->GetPlayerUnitCount(), 1);
  ASSERT_EQ(player->GetNumSelected(), 1);

  SaveGameManagerProto::GetInstance()->ClearWorld();

  // Only what derives from the game's entity hears it, in the engine's order.
  EXPECT_EQ(heard, (std::vector<std::string>{"ship", "saved", "unsaved", "town", "stronghold"}));
  for (const char* gone : {"ship", "saved", "camera"}) EXPECT_EQ(Vision::Game.SearchEntity(gone), nullptr) << gone;
  for (const char* kept : {"unsaved", "town", "stronghold", "plain"})
    EXPECT_NE(Vision::Game.SearchEntity(kept), nullptr) << kept;
  // Freed at once, not at the frame's end.
  for (VisBaseEntity_cl* entity : Vision::Game.GetEntities()) EXPECT_FALSE(entity && entity->IsMarkedRemoved());
  EXPECT_EQ(rts.GetEscapeArea(), nullptr);
  EXPECT_EQ(rts.GetFollowedUnit(), nullptr);
  EXPECT_EQ(player->GetNumSelected(), 0);
  EXPECT_EQ(player->GetPlayerUnitCount(), 0);
}

TEST_F(SaveGameWorldTest, ResetTypesFreesEveryEntityOfTheTypeAndItsSubclasses) {
  Make("TownEntity", "town");
  Make("StrongholdEntity", "stronghold");
  VisBaseEntity_cl* marked = Make("TownEntity", "marked");
  marked->Remove();
  Make("ShipEntity", "ship");
  Make("VisBaseEntity_cl", "plain");
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();

  saves->ResetTypes(nullptr);
  EXPECT_EQ(Live(), 4);
  saves->ResetTypes(V_RUNTIME_CLASS(TownEntity));
  EXPECT_EQ(Live(), 2);
  EXPECT_NE(Vision::Game.SearchEntity("ship"), nullptr);
  EXPECT_NE(Vision::Game.SearchEntity("plain"), nullptr);
  // The one marked before went with the rest.
  for (VisBaseEntity_cl* entity : Vision::Game.GetEntities()) EXPECT_NE(entity, marked);
}

TEST(SaveGameDlcTest, TheHighestLevelPassedIsKeptInTheSettings) {
  GuiTestEnvironment env;
  env.Start();
  const fs::path documents = fs::temp_directory_path() / ("brinemark_dlc_" + std::to_string(getpid()));
  fs::create_directories(documents);
  {
    ScopedEnv docs("ENGINE_DOCUMENTS_DIR", documents.c_str());
    Vision::Game.GetDictionary().DeleteAll();
    SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
    // The first level is always open.
    EXPECT_TRUE(saves->IsDlcLevelUnlocked(1));
    EXPECT_FALSE(saves->IsDlcLevelUnlocked(2));
    saves->DlcLevelPassed(3);
    EXPECT_EQ(SettingsManager::GetInstance()->GetDlcLevelPassed(), 3);
    EXPECT_EQ(saves->GetHighestDlcLevelPassed(), 3);
    // A lower level won again keeps the higher progress.
    saves->DlcLevelPassed(2);
    EXPECT_EQ(SettingsManager::GetInstance()->GetDlcLevelPassed(), 3);
    EXPECT_TRUE(saves->IsDlcLevelUnlocked(3));
    EXPECT_FALSE(saves->IsDlcLevelUnlocked(4));
    // Stored in the settings file: a fresh read finds it.
    Vision::Game.GetDictionary().DeleteAll();
    ASSERT_TRUE(SettingsManager::GetInstance()->LoadSettingsFromSave());
    EXPECT_TRUE(saves->IsDlcLevelUnlocked(3));
    SaveGameManagerProto::CleanInstance();
    SettingsManager::CleanInstance();
    VisMainApp::CleanInstance();
    Vision::Game.GetDictionary().DeleteAll();
  }
  fs::remove_all(documents);
  env.Stop();
}

}  // namespace
