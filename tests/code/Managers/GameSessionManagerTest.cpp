// The player's inventory: items found by key and used through their scripts, one
// entry per kind; the eyepatches collected per town.
#include "Managers/GameSessionManager.h"

#include "entities/CollectableEntityTemplate.h"
#include "entities/TownEntity.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(GameSessionManagerTest, UsingAnItemUsesItsScriptAndCountsItDown) {
  std::string dir = (fs::temp_directory_path() / "inventory-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  std::ofstream(fs::path(dir) / "potion.lua") << "function UseCollectable(self) return 1 end\n";
  std::ofstream(fs::path(dir) / "keepsake.lua") << "function UseCollectable(self) return 0 end\n";
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));

  GameSessionManager* session = GameSessionManager::GetInstance();
  auto* potion = new CollectableEntityTemplate();
  potion->m_sKey = "RumPotion";
  potion->m_sCollectableScriptFile = "potion.lua";
  potion->m_iCount = 2;
  session->AddCollectable(potion);
  auto* keepsake = new CollectableEntityTemplate();
  keepsake->m_sKey = "Toolbox";
  keepsake->m_sCollectableScriptFile = "keepsake.lua";
  session->AddCollectable(keepsake);

  EXPECT_FALSE(session->UseCollectableByName("Compass"));
  EXPECT_TRUE(session->UseCollectableByName("RumPotion"));
  EXPECT_EQ(potion->m_iCount, 1);
  EXPECT_TRUE(session->UseCollectableByName("RumPotion"));
  EXPECT_EQ(session->GetCollectableByName("RumPotion"), nullptr);
  EXPECT_FALSE(session->UseCollectableByName("RumPotion"));
  // An item whose use reports nothing used stays.
  EXPECT_TRUE(session->UseCollectableByName("Toolbox"));
  EXPECT_EQ(session->GetCollectableByName("Toolbox"), keepsake);
  EXPECT_EQ(keepsake->m_iCount, 1);

  Vision::Game.FreeRemovedEntities();
  GameSessionManager::CleanInstance();
  Vision::File.RemoveAllDataDirectories();
  fs::remove_all(dir);
}

TEST(GameSessionManagerTest, AnotherItemOfAKindOwnedRaisesItsCount) {
  GameSessionManager* session = GameSessionManager::GetInstance();
  auto* rum = new CollectableEntityTemplate();
  rum->m_sKey = "RumPotion";
  rum->m_iCount = 2;
  session->AddCollectable(rum);
  for (int i = 0; i < 2; ++i) {
    auto* more = new CollectableEntityTemplate();
    more->m_sKey = "RumPotion";
    more->m_iCount = 5;  // one found is one more, whatever the new record says
    session->AddCollectable(more);
  }
  auto* toolbox = new CollectableEntityTemplate();
  toolbox->m_sKey = "Toolbox";
  session->AddCollectable(toolbox);
  session->AddCollectable(nullptr);
  EXPECT_EQ(session->GetPlayerCollectableCount(), 2);
  EXPECT_EQ(session->GetCollectableByName("RumPotion"), rum);
  EXPECT_EQ(rum->m_iCount, 4);
  EXPECT_EQ(toolbox->m_iCount, 1);
  GameSessionManager::CleanInstance();
}

TEST(GameSessionManagerTest, EyepatchesAreKeptByTheTownsNameKeyNotItsEntity) {
  ScratchDataFolder data;
  data.Write("scripts/harbour.lua", "sNameKey = \"str_TOWN_HARBOUR\"\n");
  data.Write("scripts/nameless.lua", "iSceneType = 2\n");
  auto town = [](const char* script) {
    auto* t = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    if (script) scripts->SetScriptInstance(t, scripts->CreateScriptInstanceFromFile(script, t));
    return t;
  };
  GameSessionManager* session = GameSessionManager::GetInstance();
  TownEntity* harbour = town("scripts/harbour.lua");
  TownEntity* nameless = town("scripts/nameless.lua");
  session->AddEyepatchTown(harbour, VisVector_cl(1, 0, 0));
  session->AddEyepatchTown(nameless, VisVector_cl(2, 0, 0));
  session->AddEyepatchTown(nullptr, VisVector_cl(3, 0, 0));
  session->AddEyepatchTown(harbour, VisVector_cl(4, 0, 0));
  EXPECT_EQ(harbour->GetTownNameKey(), "str_TOWN_HARBOUR");
  EXPECT_EQ(nameless->GetTownNameKey(), "str_TOWN_NONE");

  // The same town in a later scene is a new entity, perhaps at the old one's address.
  Vision::Game.RemoveAllEntities();
  TownEntity* again = town("scripts/harbour.lua");
  TownEntity* keyed = town(nullptr);
  keyed->SetTownNameKey("str_TOWN_HARBOUR");
  for (TownEntity* t : {again, keyed}) {
    const std::vector<VisVector_cl> found = session->GetCollectedEyepatches(t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].x, 1.0f);
    EXPECT_EQ(found[1].x, 4.0f);
  }
  ASSERT_EQ(session->GetCollectedEyepatches(town(nullptr)).size(), 1u) << "towns without a name share the fallback";
  ASSERT_EQ(session->GetCollectedEyepatches(nullptr).size(), 1u);
  EXPECT_EQ(session->GetCollectedEyepatches(nullptr)[0].x, 3.0f);

  Vision::Game.RemoveAllEntities();
  GameSessionManager::CleanInstance();
}

}  // namespace
