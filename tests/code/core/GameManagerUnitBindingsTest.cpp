// The player, hero and land-unit functions of the "GameManager" script table:
// money, heroes, the heroes' units, new units and soldiers, topping up units and
// the soldier nearest a point.
#include "support/ScriptBindingFixture.h"

#include "Managers/GameSessionManager.h"
#include "Managers/TutorialManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/HeroUnitRecord.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include <gmock/gmock.h>

#include <string>

using ::testing::HasSubstr;

namespace {

class GameManagerUnitBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    if (HasFatalFailure()) return;
    // Two tutorial pages, so that a hero's tutorials could be queued.
    Write("scripts/Tutorials.lua",
          "local pages = {{'str_TUTORIAL_HERO_PART1', 'a', ''}, {'str_TUTORIAL_HERO_PART2', 'b', ''}}\n"
          "function GetTutorialAmount() return #pages end\n"
          "function GetTutorialAt(i) return pages[i][1], pages[i][2], pages[i][3] end\n");
    RtsManager::GlobalManager().OneTimeInit();
  }
  void ReleaseAfterEntities() override {
    RtsManager::GlobalManager().OneTimeDeInit();
    ScriptBindingFixture::ReleaseAfterEntities();
    GameSessionManager::CleanInstance();
    TutorialManager::CleanInstance();
  }

  GameManager* Gm() { return GameManager::GetInstance(); }
  PlayerStats* Record() { return GameSessionManager::GetInstance()->GetPlayer(); }
  Player* LandPlayer() { return RtsManager::GlobalManager().GetPlayer(); }
  int Count(const std::string& call) { return (int)Number("select('#', " + call + ")"); }

  UnitEntity* MakeUnit(int nation, int type, int soldiers, int maxSoldiers, const char* key = "") {
    UnitEntityTemplate templ;
    templ.m_sKey = key;
    templ.m_iNation = nation;
    templ.m_iUnitType = type;
    templ.m_iNumSoldiers = soldiers;
    templ.m_iMaxNumSoldiers = maxSoldiers;
    return Gm()->CreateUnit(templ);
  }

  // A hero's unit record naming the live unit.
  static void LeadUnit(HeroStats* hero, UnitEntity* unit) {
    HeroUnitRecord* record = new HeroUnitRecord();
    record->m_pTemplate->m_iUniqueID = unit->GetUniqueID();
    ASSERT_TRUE(hero->AddUnitRecord(record));
  }

  // On land, with the player's character unit led by the player's record.
  UnitEntity* MakePlayerCharacter() {
    Gm()->SetLocation(1);
    UnitEntity* character = MakeUnit(1, 0, 1, 1, "PlayerCharacter");
    character->SetHeroStats(Record());
    EXPECT_EQ(LandPlayer()->GetPlayerCharacter(), character);
    return character;
  }

  SoldierEntity* MakeSoldier(int nation, const VisVector_cl& pos) {
    auto* soldier = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", pos));
    soldier->SetNation(nation);
    soldier->CommonInit();
    return soldier;
  }
};

TEST_F(GameManagerUnitBindingsTest, MoneyHasNoBoundsAndExperienceReachesThePlayerRecord) {
  ASSERT_EQ(Run("GameManager.AddMoney(200)\nGameManager.AddMoney()\nGameManager.AddMoney('lots')"), "");
  EXPECT_EQ(Number("GameManager.GetMoney()"), 200);
  ASSERT_EQ(Run("GameManager.DecMoney(500)\nGameManager.DecMoney()"), "");
  EXPECT_EQ(Number("GameManager.GetMoney()"), -300);
  EXPECT_EQ(Record()->GetMoney(), -300);

  const int before = Record()->GetExperience();
  ASSERT_EQ(Run("GameManager.AddExperienceToPlayer(40)"), "");
  EXPECT_EQ(Record()->GetExperience(), before + 40);
}

TEST_F(GameManagerUnitBindingsTest, ThePlayersLooksComeFromItsOwnTemplate) {
  UnitEntityTemplate* own = Record()->GetCharacterTemplate();
  own->m_sUnitImage = "portrait_captain";
  own->m_sUnitName = "Captain Brine";
  own->m_sImageSet = "Portraits";
  EXPECT_EQ(String("GameManager.GetPlayerImage()"), "portrait_captain");
  EXPECT_EQ(String("GameManager.GetPlayerName()"), "Captain Brine");
  EXPECT_EQ(String("GameManager.GetPlayerImageSet()"), "Portraits");
}

TEST_F(GameManagerUnitBindingsTest, HeroesWithoutANameOrIdAreNotAddedAndShowNoTutorial) {
  // The player counts as hero 0 and its own unit as unit 0.
  EXPECT_EQ(Number("GameManager.GetHeroCount()"), 1);
  EXPECT_EQ(Number("GameManager.GetUnitCount(0)"), 1);
  EXPECT_EQ(Count("GameManager.GetUnitCount(1)"), 0);
  EXPECT_EQ(Count("GameManager.GetUnitCount(-1)"), 0);

  ASSERT_EQ(Run("GameManager.AddHeroById(-1)\nGameManager.AddHeroById()\nGameManager.AddHero()\n"
                "GameManager.AddHero(nil, Vector(1, 2, 3))"),
            "");
  EXPECT_EQ(Number("GameManager.GetHeroCount()"), 1);
  EXPECT_TRUE(TutorialManager::GetInstance()->GetQueue().empty());

  // A named hero brings the two hero tutorials, whatever the campaign makes of the hero.
  ASSERT_EQ(Run("GameManager.AddHero('scripts/heroes/Gunner.lua')"), "");
  EXPECT_EQ(TutorialManager::GetInstance()->GetQueue(),
            (std::vector<VString>{"str_TUTORIAL_HERO_PART1", "str_TUTORIAL_HERO_PART2"}));
}

TEST_F(GameManagerUnitBindingsTest, UnitsOfTheHeroesAreFoundByTheirTemplatesIds) {
  UnitEntity* own = MakeUnit(1, 0, 0, 1);
  Record()->GetCharacterTemplate()->m_iUniqueID = own->GetUniqueID();
  UnitEntity* led = MakeUnit(1, 2, 0, 4);
  LeadUnit(Record(), led);
  HeroUnitRecord* gone = new HeroUnitRecord();
  gone->m_pTemplate->m_iUniqueID = 999999;
  ASSERT_TRUE(Record()->AddUnitRecord(gone));
  SetGlobalObject("own", own);
  SetGlobalObject("led", led);

  EXPECT_EQ(Number("GameManager.GetUnitCount(0)"), 3);
  EXPECT_TRUE(Bool("GameManager.GetUnit(0, 0) == own"));
  EXPECT_TRUE(Bool("GameManager.GetUnit(0, 1) == led"));
  EXPECT_EQ(Count("GameManager.GetUnit(0, 2)"), 0);  // its unit is not in the scene
  EXPECT_EQ(Count("GameManager.GetUnit(0, 3)"), 0);
  EXPECT_EQ(Count("GameManager.GetUnit(1, 0)"), 0);
}

TEST_F(GameManagerUnitBindingsTest, ThePlayersLandUnitsAreCountedOnLandOnly) {
  UnitEntity* character = MakePlayerCharacter();
  SetGlobalObject("character", character);
  ASSERT_EQ(LandPlayer()->GetPlayerUnitCount(), 1);

  EXPECT_EQ(Number("GameManager.GetPlayerUnitCount()"), 1);
  EXPECT_TRUE(Bool("GameManager.GetPlayerUnits(0) == character"));
  EXPECT_EQ(Count("GameManager.GetPlayerUnits(1)"), 0);
  EXPECT_EQ(Count("GameManager.GetPlayerUnits(-1)"), 0);
  EXPECT_TRUE(Bool("GameManager.GetPlayerEntity() == character"));
  EXPECT_TRUE(Bool("GameManager.GetPlayerSoldierEntity() == character:GetSoldier(0)"));

  Gm()->SetLocation(2);
  EXPECT_EQ(Count("GameManager.GetPlayerUnitCount()"), 0);
  EXPECT_TRUE(Bool("GameManager.GetPlayerSoldierEntity() == nil"));
}

TEST_F(GameManagerUnitBindingsTest, CreateUnitIgnoresItsFifthArgument) {
  Write("scripts/Musketeers.lua", "function OnCreate(self) end");
  ASSERT_EQ(Run("u = GameManager.CreateUnit('scripts/Musketeers.lua', Vector(4, 5, 0), 90, 3, "
                "'anything', 'scripts/soldiers/Musketeer.lua')"),
            "");
  ASSERT_EQ(Run("plain = GameManager.CreateUnit('scripts/Musketeers.lua', Vector(0, 0, 0), 0)"), "");
  EXPECT_TRUE(Bool("u ~= nil and plain ~= nil and u ~= plain"));

  ASSERT_EQ(LandPlayer()->GetEnemyUnitCount(), 2);
  UnitEntity* unit = LandPlayer()->GetEnemyUnit(0);
  EXPECT_EQ(unit->GetPosition().x, 4.0f);
  EXPECT_EQ(unit->GetPosition().y, 5.0f);
  EXPECT_EQ(unit->GetOrientation().x, 90.0f);
  EXPECT_EQ(unit->GetNation(), 3);
  EXPECT_EQ(unit->GetUnitScriptFile(), "scripts/Musketeers.lua");
  EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(unit), nullptr);
  EXPECT_EQ(unit->GetSoldierScriptFile(), "scripts/soldiers/Musketeer.lua");
  EXPECT_EQ(LandPlayer()->GetEnemyUnit(1)->GetNation(), 0);
}

TEST_F(GameManagerUnitBindingsTest, CreateSoldierMakesANamedSoldierInAUnitOfOne) {
  ASSERT_EQ(Run("s = GameManager.CreateSoldier('Quartermaster', 'scripts/soldiers/Clerk.lua', 2, Vector(7, 8, 0), "
                "45, 6)"),
            "");
  ASSERT_TRUE(Bool("s ~= nil"));
  SoldierEntity* soldier = static_cast<SoldierEntity*>(Vision::Game.SearchEntity("Quartermaster"));
  ASSERT_NE(soldier, nullptr);
  UnitEntity* unit = soldier->GetParentUnit();
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->GetNumSoldiers(), 1);
  EXPECT_EQ(unit->GetMaxNumSoldiers(), 1);
  EXPECT_EQ(unit->GetNation(), 2);
  EXPECT_EQ(unit->GetUnitType(), 6);
  EXPECT_EQ(unit->GetSoldierScriptFile(), "scripts/soldiers/Clerk.lua");
}

TEST_F(GameManagerUnitBindingsTest, SpawningForThePlayerTopsUpItsUnitsBeforeMakingOne) {
  UnitEntity* character = MakePlayerCharacter();
  (void)character;
  UnitEntity* other = MakeUnit(1, 5, 1, 6);
  UnitEntity* musketeers = MakeUnit(1, 3, 2, 6);
  LeadUnit(Record(), other);
  LeadUnit(Record(), musketeers);
  SetGlobalObject("musketeers", musketeers);
  const int units = LandPlayer()->GetPlayerUnitCount();

  ASSERT_EQ(Run("r = GameManager.SpawnUnitWithSoldiers(3, 3, 6, 1, Vector(10, 20, 0))"), "");
  EXPECT_EQ(musketeers->GetNumSoldiers(), 5);
  EXPECT_EQ(other->GetNumSoldiers(), 1);
  EXPECT_EQ(LandPlayer()->GetPlayerUnitCount(), units);  // no new unit
  EXPECT_TRUE(Bool("r == musketeers"));
  for (int i = 2; i < 5; ++i) {
    const VisVector_cl p = musketeers->GetSoldierAtIndex(i)->GetPosition();
    EXPECT_GE(p.x, 6.0f);
    EXPECT_LE(p.x, 13.0f);
    EXPECT_GE(p.y, 16.0f);
    EXPECT_LE(p.y, 23.0f);
  }

  // One place left: it takes one soldier, the other two make a new unit led by the hero.
  ASSERT_EQ(Run("r = GameManager.SpawnUnitWithSoldiers(3, 3, 4, 1, Vector(10, 20, 0))"), "");
  EXPECT_EQ(musketeers->GetNumSoldiers(), 6);
  ASSERT_EQ(LandPlayer()->GetPlayerUnitCount(), units + 1);
  ASSERT_EQ(Record()->GetUnitRecordCount(), 3);  // the new unit joined the hero
  ASSERT_TRUE(Bool("r ~= nil and r ~= musketeers"));
  UnitEntity* made = LandPlayer()->GetPlayerUnit((unsigned)units);
  EXPECT_EQ(made->GetNumSoldiers(), 2);
  EXPECT_EQ(made->GetMaxNumSoldiers(), 4);
  EXPECT_EQ(made->GetNation(), 1);
  EXPECT_TRUE(made->GetSave());
  EXPECT_NE(made->GetUniqueID(), 0);
}

TEST_F(GameManagerUnitBindingsTest, AHeroWithThreeFullUnitsGetsNoNewOne) {
  MakePlayerCharacter();
  for (int i = 0; i < 3; ++i) LeadUnit(Record(), MakeUnit(1, 3, 2, 2));
  const int units = LandPlayer()->GetPlayerUnitCount();
  EXPECT_EQ(Count("GameManager.SpawnUnitWithSoldiers(3, 2, 6, 1, Vector(0, 0, 0))"), 0);
  EXPECT_EQ(LandPlayer()->GetPlayerUnitCount(), units);

  // Another nation's spawn always makes its unit.
  const int enemies = LandPlayer()->GetEnemyUnitCount();
  ASSERT_EQ(Run("r = GameManager.SpawnUnitWithSoldiers(3, 4, 6, 2, Vector(0, 0, 0))"), "");
  ASSERT_EQ(LandPlayer()->GetEnemyUnitCount(), enemies + 1);
  UnitEntity* made = LandPlayer()->GetEnemyUnit((unsigned)enemies);
  EXPECT_EQ(made->GetNumSoldiers(), 4);
  EXPECT_EQ(made->GetNation(), 2);
}

// Without a player character (or without its hero record) the list of units to top
// up is empty: a new unit is made.
TEST_F(GameManagerUnitBindingsTest, SpawningForThePlayerWithoutACharacterMakesAUnit) {
  Gm()->SetLocation(1);
  const int units = LandPlayer()->GetPlayerUnitCount();
  ASSERT_EQ(Run("r = GameManager.SpawnUnitWithSoldiers(3, 3, 6, 1, Vector(0, 0, 0))"), "");
  ASSERT_EQ(LandPlayer()->GetPlayerUnitCount(), units + 1);
  EXPECT_EQ(LandPlayer()->GetPlayerUnit((unsigned)units)->GetNumSoldiers(), 3);

  UnitEntity* character = MakePlayerCharacter();
  character->SetHeroStats(nullptr);
  ASSERT_EQ(Run("r = GameManager.SpawnUnitWithSoldiers(3, 2, 6, 1, Vector(0, 0, 0))"), "");
  EXPECT_TRUE(Bool("r ~= nil"));

  // Nothing to spawn: no soldier is made and nothing is looked up.
  EXPECT_TRUE(Bool("GameManager.SpawnUnitWithSoldiers(3, 0, 6, 1, Vector(0, 0, 0)) == nil"));
}

TEST_F(GameManagerUnitBindingsTest, ClosestSoldiersArePlayersOrEnemiesAndAlive) {
  ASSERT_EQ(Run("GameManager.AddNation(0, 'Neutral', 0)\nGameManager.AddNation(4, 'Player', 1)"), "");
  SoldierEntity* own = MakeSoldier(4, {3, 0, 0});
  SoldierEntity* ownFar = MakeSoldier(4, {30, 0, 0});
  SoldierEntity* dead = MakeSoldier(2, {1, 0, 0});
  SoldierStats deadStats;
  dead->SetStats(&deadStats);
  dead->KillSoldier();
  ASSERT_FALSE(dead->IsAlive());
  SoldierEntity* enemy = MakeSoldier(2, {0, 0, 50});  // distance is measured in 3D
  SoldierEntity* enemyTwin = MakeSoldier(7, {0, 50, 0});
  SetGlobalObject("own", own);
  SetGlobalObject("ownFar", ownFar);
  SetGlobalObject("enemy", enemy);
  (void)enemyTwin;

  EXPECT_TRUE(Bool("GameManager.GetClosestPlayerSoldierFromPosition(10, Vector(0, 0, 0)) == own"));
  EXPECT_TRUE(Bool("GameManager.GetClosestPlayerSoldierFromPosition(5, Vector(28, 0, 0)) == ownFar"));
  EXPECT_EQ(Count("GameManager.GetClosestPlayerSoldierFromPosition(3, Vector(0, 0, 0))"), 0);  // strictly within
  EXPECT_EQ(Count("GameManager.GetClosestEnemySoldierFromPosition(49, Vector(0, 0, 0))"), 0);
  // A negative range has no limit; of two at the same distance the first wins.
  EXPECT_TRUE(Bool("GameManager.GetClosestEnemySoldierFromPosition(-1, Vector(0, 0, 0)) == enemy"));
  dead->SetStats(nullptr);
}

TEST_F(GameManagerUnitBindingsTest, WithoutAPlayerNationNoSoldierIsFound) {
  ASSERT_EQ(Run("GameManager.AddNation(0, 'Neutral', 0)"), "");
  MakeSoldier(0, {1, 0, 0});
  MakeSoldier(2, {2, 0, 0});
  EXPECT_EQ(Count("GameManager.GetClosestPlayerSoldierFromPosition(-1, Vector(0, 0, 0))"), 0);
  EXPECT_EQ(Count("GameManager.GetClosestEnemySoldierFromPosition(-1, Vector(0, 0, 0))"), 0);
}

TEST_F(GameManagerUnitBindingsTest, BadArgumentsRaiseTheirErrorsAndCreateNothing) {
  struct Case {
    std::string call;
    std::string error;
  };
  const Case cases[] = {
      {"GameManager.AddExperienceToPlayer()", ArgError(2, "AddExperienceToPlayer", "Expected int")},
      {"GameManager.GetUnitCount('0')", ArgError(2, "GetUnitCount", "Expected int")},
      {"GameManager.GetUnit(0)", ArgError(3, "GetUnit", "Expected int")},
      {"GameManager.GetPlayerUnits()", ArgError(2, "GetPlayerUnits", "Expected int")},
      {"GameManager.CreateUnit()", ArgError(2, "CreateUnit", "Expected const char *")},
      {"GameManager.CreateUnit('u.lua', 5)", ArgError(3, "CreateUnit", "Expected VisVector_cl")},
      {"GameManager.CreateUnit('u.lua', Vector(0, 0, 0))", ArgError(4, "CreateUnit", "Expected float")},
      {"GameManager.CreateSoldier('Cook')", ArgError(3, "CreateSoldier", "Expected const char *")},
      {"GameManager.CreateSoldier('Cook', 's.lua')", ArgError(4, "CreateSoldier", "Expected int")},
      {"GameManager.SpawnUnitWithSoldiers(3, 2, 6)", ArgError(5, "SpawnUnitWithSoldiers", "Expected int")},
      {"GameManager.SpawnUnitWithSoldiers(3, 2, 6, 2)", ArgError(6, "SpawnUnitWithSoldiers", "Expected VisVector_cl")},
      {"GameManager.GetClosestPlayerSoldierFromPosition()",
       ArgError(2, "GetClosestPlayerSoldierFromPosition", "Expected float")},
      {"GameManager.GetClosestEnemySoldierFromPosition(5)",
       ArgError(3, "GetClosestEnemySoldierFromPosition", "Expected VisVector_cl")},
  };
  const int enemies = LandPlayer()->GetEnemyUnitCount();
  for (const Case& c : cases) {
    EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;
    EXPECT_EQ(LandPlayer()->GetEnemyUnitCount(), enemies) << c.call;
  }
  EXPECT_EQ(Record()->GetExperience(), 0);
}

}  // namespace
