// The "GameManager" script table: nations, weapons, scripts, and the rule that a
// failed call changes nothing.
#include "support/ScriptBindingFixture.h"

#include "entities/Nation.h"

#include <gmock/gmock.h>

#include <set>
#include <string>

using ::testing::HasSubstr;

namespace {

class GameManagerBindingsTest : public ScriptBindingFixture {
 protected:
  GameManager* Gm() { return GameManager::GetInstance(); }

  // Slots 0 "Neutral", 1 "Player" (id 1), 2 "Pirate" (id 7).
  void AddThreeNations() {
    ASSERT_EQ(Run("GameManager.AddNation(0, 'Neutral', 0)\n"
                  "GameManager.AddNation(1, 'Player', 1)\n"
                  "GameManager.AddNation(7, 'Pirate', 3)"),
              "");
  }
};

TEST_F(GameManagerBindingsTest, AddNationFillsSlotsInOrderWithIdNameAndType) {
  AddThreeNations();
  ASSERT_EQ(Gm()->GetNationCount(), 3u);
  Nation* pirate = Gm()->GetNation(2u);
  ASSERT_NE(pirate, nullptr);
  EXPECT_EQ(pirate->GetNationId(), 7);
  EXPECT_EQ(pirate->GetName(), "Pirate");
  EXPECT_EQ(pirate->GetType(), 3);
  EXPECT_EQ(Gm()->GetPlayerNation()->GetName(), "Player");

  // Script numbers reach the int arguments truncated.
  ASSERT_EQ(Run("GameManager.AddNation(4.9, 'Corsair', 2.7)"), "");
  EXPECT_EQ(Gm()->GetNation(3u)->GetNationId(), 4);
  EXPECT_EQ(Gm()->GetNation(3u)->GetType(), 2);
}

TEST_F(GameManagerBindingsTest, NationSettersActOnFilledSlotsOnly) {
  AddThreeNations();
  ASSERT_EQ(Run("GameManager.AddEnemyToNation(2, 2)\n"   // slot number equals enemy id
                "GameManager.AddEnemyToNation(2, 7)\n"   // the nation's own id
                "GameManager.AddEnemyToNation(2, 5)\n"
                "GameManager.AddEnemyToNation(2, 5)\n"
                "GameManager.AddEnemyToNation(9, 1)\n"   // no such slot
                "GameManager.AddEnemyToNation(-1, 1)\n"
                "GameManager.AddShipScriptToNation(1, 'Ships/Sloop.lua')\n"
                "GameManager.AddShipScriptToNation(1, 'Ships/Sloop.lua')\n"
                "GameManager.AddShipScriptToNation(12, 'Ships/Brig.lua')\n"
                "GameManager.SetMansionAccessible(2, false)\n"
                "GameManager.SetMansionAccessible(40, false)"),
            "");
  EXPECT_EQ(Gm()->GetNation(2u)->GetEnemies(), (std::set<int>{5}));
  EXPECT_TRUE(Gm()->GetNation(1u)->GetEnemies().empty());
  ASSERT_EQ(Gm()->GetNation(1u)->GetShipScriptCount(), 2);
  EXPECT_EQ(Gm()->GetNation(1u)->GetShipScript(1), "Ships/Sloop.lua");
  EXPECT_FALSE(Bool("GameManager.GetMansionAccessible(2)"));
  EXPECT_TRUE(Bool("GameManager.GetMansionAccessible(1)"));
  EXPECT_FALSE(Bool("GameManager.GetMansionAccessible(40)"));
  EXPECT_FALSE(Bool("GameManager.GetMansionAccessible(-1)"));
  EXPECT_EQ(Gm()->GetNationCount(), 3u);
}

TEST_F(GameManagerBindingsTest, ReputationsComeBackAsFloats) {
  AddThreeNations();
  Gm()->GetNation(1u)->SetReputation(0.3f);
  Gm()->GetNation(0u)->SetReputation(0.1f);

  // The script sees the float the game keeps, not the nearest double.
  EXPECT_EQ(Number("GameManager.GetReputation(1)"), (double)0.3f);
  EXPECT_NE(Number("GameManager.GetReputation(1)"), 0.3);
  // The slot is optional (0), and a slot outside the table answers 0 without growing it.
  EXPECT_EQ(Number("GameManager.GetReputation()"), (double)0.1f);
  EXPECT_EQ(Number("GameManager.GetReputation('1')"), (double)0.1f);
  EXPECT_EQ(Number("GameManager.GetReputation(-1)"), 0.0);
  EXPECT_EQ(Number("GameManager.GetReputation(1000)"), 0.0);
  EXPECT_EQ(Gm()->GetNationCount(), 3u);

  // The mean of the three factions, with the float product of the game.
  EXPECT_EQ(Number("GameManager.GetTotalFactionReputation()"), 0.0);  // no Corsair or Buccaneer yet
  ASSERT_EQ(Run("GameManager.AddNation(8, 'Corsair', 3)\nGameManager.AddNation(9, 'Buccaneer', 3)"), "");
  Gm()->GetNation(2u)->SetReputation(0.3f);
  Gm()->GetNation(3u)->SetReputation(0.6f);
  Gm()->GetNation(4u)->SetReputation(0.9f);
  double total = Number("GameManager.GetTotalFactionReputation()");
  EXPECT_NEAR(total, 0.6, 1e-6);
  EXPECT_EQ(total, (double)(float)total);
}

TEST_F(GameManagerBindingsTest, AddWeaponFillsEveryFieldFromItsArgument) {
  ASSERT_EQ(Run("GameManager.AddWeapon(3, 'Cutlass', true, false, 'fx/spark', 0.1, 'fx/trail', 4, "
                "'models/ball.model', 10, 11)\n"
                "GameManager.AddWeapon(3, 'Second cutlass', false, true, '', 2, '', 0, '', 0, 0)"),
            "");
  ASSERT_EQ(Gm()->GetWeaponCount(), 2);
  const Weapon& w = Gm()->GetWeapon(3);
  EXPECT_EQ(w.m_sName, "Cutlass");  // the first record of an id wins
  EXPECT_EQ(w.m_fCoolDown, 0.1f);
  EXPECT_EQ(w.m_fCoolDownLeft, 0.0f);
  EXPECT_TRUE(w.m_bMelee);
  EXPECT_FALSE(w.m_bAreaEffect);
  EXPECT_EQ(w.m_sMuzzleEffect, "fx/spark");
  EXPECT_EQ(w.m_sTrailEffect, "fx/trail");
  EXPECT_EQ(w.m_iProjectileType, 4);
  EXPECT_EQ(w.m_sProjectileModel, "models/ball.model");
  // The last two arguments fill their fields in swapped order.
  EXPECT_EQ(w.m_iSecondSound, 11);
  EXPECT_EQ(w.m_iFirstSound, 10);
}

TEST_F(GameManagerBindingsTest, AFailedCallRaisesTheArgumentErrorAndChangesNothing) {
  AddThreeNations();
  ASSERT_EQ(Run("GameManager.AddWeapon(1, 'Pistol', false, false, '', 1.5, '', 0, '', 0, 0)"), "");

  struct Case {
    std::string call;
    std::string error;
  };
  const Case cases[] = {
      {"GameManager.AddNation()", ArgError(2, "AddNation", "Expected int")},
      {"GameManager.AddNation('1', 'Brine', 0)", ArgError(2, "AddNation", "Expected int")},
      {"GameManager.AddNation(3)", ArgError(3, "AddNation", "Expected const char *")},
      {"GameManager.AddNation(3, 'Brine')", ArgError(4, "AddNation", "Expected int")},
      {"GameManager.AddEnemyToNation(2)", ArgError(3, "AddEnemyToNation", "Expected int")},
      {"GameManager.AddShipScriptToNation(1)", ArgError(3, "AddShipScriptToNation", "Expected const char *")},
      {"GameManager.AddShipScriptToNation(nil, 'Ships/Sloop.lua')",
       ArgError(2, "AddShipScriptToNation", "Expected int")},
      {"GameManager.SetMansionAccessible(2, 0)", ArgError(3, "SetMansionAccessible", "Expected bool")},
      {"GameManager.GetMansionAccessible()", ArgError(2, "GetMansionAccessible", "Expected int")},
      {"GameManager.SetCanTeleport('no')", ArgError(2, "SetCanTeleport", "Expected bool")},
      {"GameManager.LoadScript()", ArgError(2, "LoadScript", "Expected const char*")},
      {"GameManager.PreCacheFile(5)", ArgError(2, "PreCacheFile", "Expected const char*")},
      {"GameManager.AddWeapon(2, 'Rifle', false, true, 'a', 0.5, 'b', 1, 'c', 2)",
       ArgError(12, "AddWeapon", "Expected int")},
      {"GameManager.AddWeapon(2, 'Rifle', false, true, 'a', '0.5', 'b', 1, 'c', 2, 3)",
       ArgError(7, "AddWeapon", "Expected float")},
      {"GameManager.AddWeapon(2, 'Rifle', 1, true, 'a', 0.5, 'b', 1, 'c', 2, 3)",
       ArgError(4, "AddWeapon", "Expected bool")},
      {"GameManager.AddWeapon(2, 'Rifle', false, true, 'a', 0.5, 'b', 1, nil, 2, 3)",
       ArgError(10, "AddWeapon", "Expected const char *")},
  };
  Gm()->SetCanTeleport(false);
  for (const Case& c : cases) {
    EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;
    EXPECT_EQ(Gm()->GetNationCount(), 3u) << c.call;
    EXPECT_TRUE(Gm()->GetNation(2u)->GetEnemies().empty()) << c.call;
    EXPECT_EQ(Gm()->GetNation(1u)->GetShipScriptCount(), 0) << c.call;
    EXPECT_TRUE(Gm()->GetNation(2u)->GetMansionAccessible()) << c.call;
    EXPECT_EQ(Gm()->GetWeaponCount(), 1) << c.call;
    EXPECT_FALSE(Gm()->CanTeleport()) << c.call;
  }
}

TEST_F(GameManagerBindingsTest, PlainSettersAndGettersReachTheirManagers) {
  Gm()->SetLocation(2);
  EXPECT_EQ(Number("GameManager.GetPlayerLocation()"), 2);
  Gm()->SetCanTeleport(false);
  ASSERT_EQ(Run("GameManager.SetCanTeleport(true)\nGameManager.RequestAutoSave()"), "");
  EXPECT_TRUE(Gm()->CanTeleport());
  EXPECT_TRUE(SaveGameManagerProto::GetInstance()->IsAutoSaveRequested());
}

TEST_F(GameManagerBindingsTest, LoadScriptRunsAFileAndReportsProblemsInTheLog) {
  Write("scripts/Extra.lua", "ExtraLoaded = (ExtraLoaded or 0) + 1\nreturn 1, 2, 3");
  // Longer than the stack buffer: the text still ends where the file ends.
  Write("scripts/Long.lua", "-- " + std::string(20000, 'x') + "\nLongLoaded = true");
  Write("scripts/Broken.lua", "this is not lua");
  Write("scripts/Fails.lua", "BeforeFailure = true\nerror('stop here')");

  EXPECT_EQ(Number("select('#', GameManager.LoadScript('scripts\\\\Extra.lua'))"), 0);
  EXPECT_EQ(Number("ExtraLoaded"), 1);
  EXPECT_EQ(Run("GameManager.LoadScript('SCRIPTS/extra.lua')"), "");
  EXPECT_EQ(Number("ExtraLoaded"), 2);
  EXPECT_EQ(Run("GameManager.LoadScript('scripts/Long.lua')"), "");
  EXPECT_TRUE(Bool("LongLoaded"));

  // A missing file, a chunk that does not compile and one that fails: log lines,
  // no script error for the caller.
  EXPECT_EQ(Run("GameManager.LoadScript('scripts/Missing.lua')"), "");
  EXPECT_TRUE(log.Contains("Script file scripts/Missing.lua not found"));
  log.Clear();
  EXPECT_EQ(Run("GameManager.LoadScript('scripts/Broken.lua')"), "");
  EXPECT_TRUE(log.Contains("Lua error: "));
  log.Clear();
  EXPECT_EQ(Run("GameManager.LoadScript('scripts/Fails.lua')"), "");
  EXPECT_TRUE(log.Contains("stop here"));
  EXPECT_TRUE(Bool("BeforeFailure"));
  EXPECT_EQ(lua_gettop(L), 0);
}

}  // namespace
