// The town, scene and world-object functions of the "GameManager" script table,
// the town-ship functions, and the "GameSessionManager" table.
#include "support/ScriptBindingFixture.h"

#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/WildLifeManager.h"
#include "core/RtsManager.h"
#include "entities/AnimalEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/TownEntity.h"

#include <gmock/gmock.h>

#include <string>

using ::testing::HasSubstr;

namespace {

class GameManagerWorldBindingsTest : public ScriptBindingFixture {
 protected:
  void TearDown() override {
    if (TownManager::HasInstance()) TownManager::GetInstance()->GetCurrentTownInfo().town = nullptr;
    ScriptBindingFixture::TearDown();
    RtsManager::GlobalManager().SetViewRangeEnabled(false);
  }
  void ReleaseAfterEntities() override {
    ScriptBindingFixture::ReleaseAfterEntities();
    SpeechManager::CleanInstance();
    MusicManager::CleanInstance();
    SoundManager::CleanInstance();
    GameSessionManager::CleanInstance();
    TownManager::CleanInstance();
    WildLifeManager::CleanInstance();
    FogOfWarManager::CleanInstance();
  }

  GameManager* Gm() { return GameManager::GetInstance(); }
  TownInfo& Current() { return TownManager::GetInstance()->GetCurrentTownInfo(); }
  int Count(const std::string& call) { return (int)Number("select('#', " + call + ")"); }

  CollectableEntity* Drop(const char* key, const char* screenName) {
    auto* item = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl(0, 0, 0)));
    item->SetEntityKey(key);
    item->m_sScreenName = screenName;
    return item;
  }
};

TEST_F(GameManagerWorldBindingsTest, TheCurrentTownIsReadAndMarkedThroughTheTownManager) {
  EXPECT_EQ(String("GameManager.GetTownName()"), "");
  EXPECT_EQ(Number("GameManager.GetCurrentTownNation()"), 0);
  Current().name = "PortRoyal";
  Current().sceneType = 3;
  EXPECT_EQ(String("GameManager.GetTownName()"), "PortRoyal");
  EXPECT_EQ(Number("GameManager.GetCurrentTownNation()"), 3);

  ASSERT_EQ(Run("GameManager.MansionVisited()"), "");
  EXPECT_TRUE(Current().mansionVisited);
}

TEST_F(GameManagerWorldBindingsTest, AnEyepatchIsKeptOnlyInsideATown) {
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  ASSERT_NE(town, nullptr);
  GameSessionManager* session = GameSessionManager::GetInstance();

  ASSERT_EQ(Run("GameManager.CollectEyepatch(Vector(1, 2, 3))"), "");
  EXPECT_TRUE(session->GetCollectedEyepatches(town).empty());

  Current().town = town;
  ASSERT_EQ(Run("GameManager.CollectEyepatch(Vector(4, 5, 6))"), "");
  const std::vector<VisVector_cl> kept = session->GetCollectedEyepatches(town);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].x, 4.0f);
  EXPECT_EQ(kept[0].z, 6.0f);
}

TEST_F(GameManagerWorldBindingsTest, TownLookupsGiveNilWithoutTowns) {
  EXPECT_TRUE(Bool("GameManager.GetRandomTown() == nil"));
  EXPECT_TRUE(Bool("GameManager.GetRandomTown(2) == nil"));
  EXPECT_TRUE(Bool("GameManager.GetNearestTown(Vector(0, 0, 0)) == nil"));
  EXPECT_TRUE(Bool("GameManager.GetNearestTown(Vector(0, 0, 0), 5) == nil"));
}

TEST_F(GameManagerWorldBindingsTest, TheRandomCollectableIsTheFirstDroppedOneHoldingTheText) {
  EXPECT_TRUE(Bool("GameManager.GetRandomCollectable('') == nil"));
  Drop("Collectable_on_shore", "Rum barrel");
  CollectableEntity* gold = Drop("Collectable_dropped_by_ship", "Gold chest");
  CollectableEntity* rum = Drop("Collectable_dropped_by_ship", "Rum barrel");
  SetGlobalObject("gold", gold);
  SetGlobalObject("rum", rum);

  // Every text holds the empty text.
  EXPECT_TRUE(Bool("GameManager.GetRandomCollectable('') == gold"));
  EXPECT_TRUE(Bool("GameManager.GetRandomCollectable('um b') == rum"));
  EXPECT_TRUE(Bool("GameManager.GetRandomCollectable('rum') == nil"));  // case counts
}

TEST_F(GameManagerWorldBindingsTest, TheTeleportTargetReleasesThePauseUnlessAConversationHoldsIt) {
  PauseManager* pause = PauseManager::GetInstance();
  pause->SetGamePause(true);
  ASSERT_EQ(Run("GameManager.SetTeleportTarget('scenes\\\\Cove\\\\Cove.vscene')"), "");
  EXPECT_EQ(Gm()->GetCurrentTeleportTarget(), "scenes\\Cove\\Cove.vscene");
  EXPECT_FALSE(pause->IsGamePaused());

  SpeechManager::GetInstance()->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), true);
  ASSERT_TRUE(pause->IsGamePaused());
  ASSERT_EQ(Run("GameManager.SetTeleportTarget('world')"), "");
  EXPECT_EQ(Gm()->GetCurrentTeleportTarget(), "world");
  EXPECT_TRUE(pause->IsGamePaused());

  ASSERT_EQ(Run("GameManager.SetTeleportTarget()"), "");
  EXPECT_EQ(Gm()->GetCurrentTeleportTarget(), "");
}

TEST_F(GameManagerWorldBindingsTest, ExitLandAwayFromLandDoesNothing) {
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->SetLastLoadedSceneName("scenes\\Cove\\Cove.vscene");
  for (int location : {-1, 0, 2}) {
    Gm()->SetLocation(location);
    ASSERT_EQ(Run("GameManager.ExitLand()"), "");
    EXPECT_EQ(Gm()->GetLocation(), location);
    EXPECT_EQ(session->GetLastLoadedSceneName(), "scenes\\Cove\\Cove.vscene");
  }
}

TEST_F(GameManagerWorldBindingsTest, CampaignEndFogAndViewRangeAreSetAsGiven) {
  ASSERT_EQ(Run("GameManager.EndCampaign(4.5)"), "");
  EXPECT_EQ(Gm()->GetCampaignEndCountdown(), 4.5f);
  ASSERT_EQ(Run("GameManager.EndCampaign()"), "");
  EXPECT_EQ(Gm()->GetCampaignEndCountdown(), -1.0f);

  FogOfWarManager* fog = FogOfWarManager::GetInstance();
  ASSERT_EQ(Run("GameManager.SetFOW(true)\nGameManager.SetFOWParameters(2.5, 0.25)"), "");
  EXPECT_TRUE(fog->IsEnabled());
  EXPECT_EQ(fog->GetFalloffPower(), 2.5f);
  EXPECT_EQ(fog->GetVisibility(), 0.25f);
  // A bad second value sets neither.
  EXPECT_THAT(Run("GameManager.SetFOWParameters(8, 'clear')"), HasSubstr(ArgError(3, "SetFOWParameters", "Expected float")));
  EXPECT_EQ(fog->GetFalloffPower(), 2.5f);

  ASSERT_EQ(Run("GameManager.SetViewRangeEnabled(true)"), "");
  EXPECT_TRUE(RtsManager::GlobalManager().IsViewRangeEnabled());
}

// Whether the wildlife manager makes an animal of a script is its own affair; the
// function hands back the one it made, under the key given, and nothing otherwise.
TEST_F(GameManagerWorldBindingsTest, AnAnimalComesBackUnderItsKeyOrNotAtAll) {
  Write("scripts/Gull.lua", "");
  ASSERT_EQ(Run("results = select('#', GameManager.CreateAnimal('Gull', 'scripts/Gull.lua', Vector(3, 4, 30)))\n"
                "gull = GameManager.CreateAnimal('Gull', 'scripts/Gull.lua', Vector(3, 4, 30))"),
            "");
  VisBaseEntity_cl* made = Vision::Game.SearchEntity("Gull");
  if (made) {
    EXPECT_TRUE(made->IsOfType(AnimalEntity::GetClassTypeId()));
    EXPECT_EQ(Number("results"), 1);
    EXPECT_TRUE(Bool("gull ~= nil"));
  } else {
    EXPECT_EQ(Number("results"), 0);
  }
  EXPECT_EQ(Run("GameManager.CreateBird()\nGameManager.CreateBird('scripts/Gull.lua')"), "");
}

TEST_F(GameManagerWorldBindingsTest, TownShipScriptsGoOnlyToTowns) {
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  VisBaseEntity_cl* rock = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  SetGlobalObject("town", town);
  SetGlobalObject("rock", rock);

  // An empty list draws nothing.
  EXPECT_EQ(Count("GameManager.CreateRandomShipFromTown(town, 'R', Vector(0, 0, 0), 0, 2)"), 0);
  ASSERT_EQ(Run("GameManager.AddShipScriptToTown(town, 'Ships/Sloop.lua')\n"
                "GameManager.AddShipScriptToTown(town, 'Ships/Sloop.lua')\n"
                "GameManager.AddShipScriptToTown(rock, 'Ships/Brig.lua')"),
            "");
  ASSERT_EQ(town->GetShipScriptCount(), 2);
  EXPECT_EQ(town->GetShipScript(1), "Ships/Sloop.lua");
  EXPECT_EQ(Count("GameManager.CreateRandomShipFromTown(rock, 'R', Vector(0, 0, 0), 0, 2)"), 0);
}

TEST_F(GameManagerWorldBindingsTest, TheSessionTableNamesTheLastLoadedScene) {
  EXPECT_EQ(String("GameSessionManager.GetLastLoadedSceneName()"), "");
  GameSessionManager::GetInstance()->SetLastLoadedSceneName("scenes\\world01\\World.vscene");
  EXPECT_EQ(String("GameSessionManager.GetLastLoadedSceneName()"), "scenes\\world01\\World.vscene");

  lua_State* other = luaL_newstate();
  RegisterGameSessionManagerWrapper(other);
  EXPECT_EQ(lua_gettop(other), 0);
  ASSERT_EQ(luaL_dostring(other, "return GameSessionManager.GetLastLoadedSceneName()"), 0);
  EXPECT_STREQ(lua_tostring(other, -1), "scenes\\world01\\World.vscene");
  lua_close(other);
}

TEST_F(GameManagerWorldBindingsTest, BadArgumentsRaiseTheirErrorsAndChangeNothing) {
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  SetGlobalObject("town", town);
  struct Case {
    std::string call;
    std::string error;
  };
  const Case cases[] = {
      {"GameManager.CreateRandomShipFromTown()",
       ArgError(2, "CreateRandomShipFromTown", "Expected VisTypedEngineObject_cl*")},
      {"GameManager.CreateRandomShipFromTown(town, 'R', Vector(0, 0, 0), 0)",
       ArgError(6, "CreateRandomShipFromTown", "Expected int")},
      {"GameManager.CreateRandomShipFromTown(town, 'R', Vector(0, 0, 0))",
       ArgError(5, "CreateRandomShipFromTown", "Expected float")},
      {"GameManager.AddShipScriptToTown(5, 'Ships/Sloop.lua')",
       ArgError(2, "AddShipScriptToTown", "Expected VisTypedEngineObject_cl*")},
      {"GameManager.AddShipScriptToTown(town)", ArgError(3, "AddShipScriptToTown", "Expected const char *")},
      {"GameManager.UpgradeShipSpeed()", ArgError(2, "UpgradeShipSpeed", "Expected float")},
      {"GameManager.UpgradeShipManeuverability('1')", ArgError(2, "UpgradeShipManeuverability", "Expected float")},
      {"GameManager.UpgradeShipCannonDamage()", ArgError(2, "UpgradeShipCannonDamage", "Expected float")},
      {"GameManager.UpgradeShipCannonRange()", ArgError(2, "UpgradeShipCannonRange", "Expected float")},
      {"GameManager.UpgradeShipCannonLoadingTime()", ArgError(2, "UpgradeShipCannonLoadingTime", "Expected float")},
      {"GameManager.UpgradeShipDurability(50)", ArgError(3, "UpgradeShipDurability", "Expected int")},
      {"GameManager.GetNearestTown(5)", ArgError(2, "GetNearestTown", "Expected VisVector_cl")},
      {"GameManager.CollectEyepatch()", ArgError(2, "CollectEyepatch", "Expected VisVector_cl")},
      {"GameManager.GetRandomCollectable()", ArgError(2, "GetRandomCollectable", "Expected const char*")},
      {"GameManager.DlcMissionPassed('1')", ArgError(2, "DlcMissionPassed", "Expected int")},
      {"GameManager.CreateAnimal('Gull')", ArgError(3, "CreateAnimal", "Expected const char*")},
      {"GameManager.CreateAnimal('Gull', 'gull.lua')", ArgError(4, "CreateAnimal", "Expected VisVector_cl")},
      {"GameManager.SetFOW(1)", ArgError(2, "SetFOW", "Expected bool")},
      {"GameManager.SetFOWParameters()", ArgError(2, "SetFOWParameters", "Expected float")},
      {"GameManager.SetViewRangeEnabled()", ArgError(2, "SetViewRangeEnabled", "Expected bool")},
  };
  FogOfWarManager* fog = FogOfWarManager::GetInstance();
  const float falloff = fog->GetFalloffPower();
  const float visibility = fog->GetVisibility();
  for (const Case& c : cases) {
    EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;
    EXPECT_EQ(town->GetShipScriptCount(), 0) << c.call;
    EXPECT_FALSE(fog->IsEnabled()) << c.call;
    EXPECT_EQ(fog->GetFalloffPower(), falloff) << c.call;
    EXPECT_EQ(fog->GetVisibility(), visibility) << c.call;
    EXPECT_FALSE(RtsManager::GlobalManager().IsViewRangeEnabled()) << c.call;
  }

  // The optional arguments keep their defaults instead.
  ASSERT_EQ(Run("GameManager.EndCampaign('soon')"), "");
  EXPECT_EQ(Gm()->GetCampaignEndCountdown(), -1.0f);
}

}  // namespace
