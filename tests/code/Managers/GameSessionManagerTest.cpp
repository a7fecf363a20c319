// The player's inventory: items found by key and used through their scripts.
#include "Managers/GameSessionManager.h"

#include "entities/CollectableEntityTemplate.h"

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

}  // namespace
