// The content manager: its content script, loaded once, and the NPC ships it hands
// back to the campaign when a scene is left.
#include "support/ShipTestWorld.h"

#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"

namespace {

class GameContentManagerTest : public ShipTestWorld {};

TEST_F(GameContentManagerTest, TheContentScriptIsLoadedOnceWhenTheGameHasOne) {
  GameContentManager::CleanInstance();
  EXPECT_EQ(GameContentManager::GetInstance()->GetContentScript(), nullptr);
  GameContentManager::CleanInstance();

  Write("scripts/ContentScript.lua", "loads = (loads or 0) + 1");
  GameContentManager* content = GameContentManager::GetInstance();
  IVScriptInstance* script = content->GetContentScript();
  ASSERT_NE(script, nullptr);
  content->Initialize();
  EXPECT_EQ(content->GetContentScript(), script);
  int loads = 0;
  EXPECT_TRUE(script->GetGlobal("loads", loads));
  EXPECT_EQ(loads, 1);
}

TEST_F(GameContentManagerTest, LeavingASceneTakesTheNPCShipsOutOfTheCampaign) {
  GameSessionManager* session = GameSessionManager::GetInstance();
  GameContentManager* content = GameContentManager::GetInstance();
  ShipEntity* ship = MakeSloop("Wolf", 2);
  ASSERT_NE(ship, nullptr);
  session->AddShip(ship);
  content->AddNPCShip(ship);
  const int before = session->GetNPCShipCount();
  ASSERT_GE(before, 1);

  content->DeInitialize();
  EXPECT_EQ(content->GetNPCShipCount(), 0);
  EXPECT_FALSE(content->HasNPCShip(ship));
  EXPECT_EQ(session->GetNPCShipCount(), before - 1);
  EXPECT_EQ(ship->GetStats(), nullptr);
}

}  // namespace
