// The running campaign: a new session from the game script, heroes and their units
// with their limits, the unit ratings, the inventory, placing heroes in the scene,
// healing, swapping ship records, the game area's edges and the save block.
#include "Managers/GameSessionManager.h"

#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SettingsManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "components/InfantryMovementComponent.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/HeroUnitRecord.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/StatsIncrease.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/GUIManager.h"

#include "support/ArchiveRoundTrip.h"
#include "support/ScopedEnv.h"
#include "support/ScriptBindingFixture.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace archive_test;

namespace {

// A small game script: two levels, a character table, ships for sale, two potions,
// the game area, soldier values per unit type, skills and a collectable catalogue.
const char* const kGameScript = R"(
local levels = {0, 100, 300}
function GetLevelCount(self) return #levels - 1 end
function GetLevelExp(level) return levels[level + 1] end

function InitUnitEntityTemplate(id)
  return 'HERO_' .. id, 'scripts/Heroes/Corsair.lua', 'scripts/soldier.lua', 'face', 'skill', 'Faces'
end

local forSale = { [2] = {{'Harbour', 'scripts/Ships/Sloop.lua'}, {'Harbour', ''}}, [3] = {{'Cove', 'scripts/Ships/Brig.lua'}} }
function GetShipsForSaleAmount(class) local l = forSale[class] return l and #l or 0 end
function GetShipForSaleAt(class, j) local e = forSale[class][j] return e[1], e[2] end

local potions = { {id = 40, key = 'str_POTION_RUM', large = 'rum_l', button = 'rum_b', parts = {3, 7}},
                  {id = 41, key = 'str_POTION_TAR', large = 'tar_l', button = 'tar_b', parts = {}} }
function GetNumberOfPotions() return #potions end
function GetCollectableForPotion(i) return potions[i].id end
function GetCaptionKeyForPotion(i) return potions[i].key end
function GetLargeImageForPotion(i) return potions[i].large end
function GetButtonImageForPotion(i) return potions[i].button end
function GetNumIngredientsForCollectable(i) return #potions[i].parts end
function GetIngredientForCollectableAt(i, j) return potions[i].parts[j] end

local corners = { [1] = {0, 0}, [3] = {0, 100}, [5] = {100, 100}, [7] = {100, 0} }
function GetGameAreaPosition(i) return corners[i][1], corners[i][2] end

-- hit points, melee min/max, ranged min/max, melee and ranged hit chance, speed
local soldiers = { [10] = {250, 20, 30, 12, 20, 50, 50, 4.5}, [15] = {90, 3, 5, 1, 2, 50, 50, 2.5} }
function GetSoldierStats(t)
  local s = soldiers[t] or {100, 0, 0, 0, 0, 0, 0, 3.0}
  return s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[8]
end

local skills = { {'Brawler', 0}, {'Secret', 1}, {'Marksman', 0} }
local function describe(s)
  return s[1], 'cap', 'third', 'img', 'fx', 0, s[2], 10.4, 5.6, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0
end
function GetSkillCount(group) return #skills end
function GetSkillAt(i, group) return describe(skills[i]) end
function GetSkill(name, group)
  for _, s in ipairs(skills) do if s[1] == name then return describe(s) end end
  return 'None'
end

local collectables = { 'scripts/Collectables/Rum.lua', 'scripts/Collectables/Map.lua' }
function GetAllCollectableCount() return #collectables end
function GetAllCollectableScript(i) return collectables[i] end
)";

class GameSessionCampaignTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    if (HasFatalFailure()) return;
    // Settings written by a new session go to a scratch folder, not the user's.
    m_documents = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", m_dir.c_str());
    for (const char* folder : {"scripts/Ships", "scripts/Collectables"})
      std::filesystem::create_directories(m_dir / folder);
    Write("scripts/Ships/Sloop.lua", "-- a sloop\n");
    Write("scripts/Ships/Brig.lua", "-- a brig\n");
    Write("scripts/Collectables/Rum.lua",
          "function OnCreate(self) end\nfunction UseCollectable(self) return 1 end\n");
    // The soldiers walk at their own speed once their script runs.
    Write("scripts/soldier.lua", "function OnCreate(self) self:SetSpeed(4.0) end\n");
    Write("scripts/Collectables/Map.lua", "function UseCollectable(self) return 0 end\n");
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "Neutral"));
    game->AddNation(new Nation(1, "Player"));
    game->AddNation(new Nation(2, "Enemy"));
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    GameSessionManager::CleanInstance();
    TownManager::CleanInstance();
    GameContentManager::CleanInstance();
    BattleManager::CleanInstance();
    SettingsManager::CleanInstance();
    LocalizationTable::CleanInstance();
    GameManager::GetInstance()->SetGameMode(GAME_MODE_CAMPAIGN);
    ScriptBindingFixture::TearDown();
    m_documents.reset();
  }

  // Makes the game script and a fresh campaign manager from it.
  GameSessionManager* Session(const char* code = kGameScript) {
    Write("scripts/Game.lua", code);
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/Game.lua"));
    GameSessionManager::CleanInstance();
    return GameSessionManager::GetInstance();
  }

  UnitEntity* MakeUnit(int type = 15) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetUniqueID(GameManager::GetInstance()->GetNextUniqueID());
    UnitEntityTemplate t;
    t.m_iUnitType = type;
    t.m_iUniqueID = unit->GetUniqueID();
    t.OnEntityCreated(unit);
    return unit;
  }

  std::unique_ptr<ScopedEnv> m_documents;
};

// ---- a new session ----------------------------------------------------------------------------------

TEST_F(GameSessionCampaignTest, ANewSessionTakesItsCharacterShipsPotionsAndAreaFromTheScript) {
  GUIManager::GetInstance()->SetSelectedPlayerCharacter(2);
  GameSessionManager* session = Session();
  EXPECT_EQ(session->GetLevelTable(), (std::vector<int>{0, 100, 300}));
  EXPECT_EQ(session->GetNextLevelExp(1), 300);
  EXPECT_EQ(session->GetNextLevelExp(2), -1);

  const UnitEntityTemplate* character = session->GetPlayer()->GetCharacterTemplate();
  EXPECT_EQ(character->m_iUnitType, 2);
  EXPECT_EQ(character->m_sUnitScript, "scripts/Heroes/Corsair.lua");
  EXPECT_EQ(character->m_sSoldierScriptFile, "scripts/soldier.lua");
  EXPECT_EQ(character->m_sImageSet, "Faces");
  EXPECT_EQ(character->m_iUniqueID, 0) << "the player's character gets its id when it is made";

  // Two offers whose town and script are both set; the one without a script is none.
  ASSERT_EQ(session->GetShipsForSale().size(), 2u);
  std::set<std::string> offers;
  for (ShipStats* offer : session->GetShipsForSale()) {
    EXPECT_EQ(offer->GetNation(), 1);
    EXPECT_EQ(offer->GetShipName(), "Nebukadnessar");
    EXPECT_NE(offer->GetUniqueID(), 0);
    offers.insert(std::string(offer->GetLocation().AsChar()) + ":" + offer->GetScript().AsChar());
  }
  EXPECT_EQ(offers, (std::set<std::string>{"Harbour:scripts/Ships/Sloop.lua", "Cove:scripts/Ships/Brig.lua"}));
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Vision::Game.GetEntityCount(), 0) << "the ships that read the offers are gone";

  ASSERT_EQ(session->GetNumPotions(), 2);
  const Potion* rum = session->GetPotionAt(0);
  EXPECT_EQ(rum->collectableId, 40);
  EXPECT_EQ(rum->captionKey, "str_POTION_RUM");
  EXPECT_EQ(rum->largeImage, "rum_l");
  EXPECT_EQ(rum->buttonImage, "rum_b");
  EXPECT_EQ(rum->ingredients, (std::vector<int>{3, 7}));
  EXPECT_EQ(session->GetPotionId(41), session->GetPotionAt(1));
  EXPECT_EQ(session->GetPotionAt(2), nullptr);
  EXPECT_EQ(session->GetPotionAt(-1), nullptr);
  EXPECT_EQ(session->GetGameArea().size(), 4u);

  // The downloadable levels play their own characters.
  GameManager::GetInstance()->SetGameMode(GAME_MODE_DLC);
  session->StartNewGameSession();
  EXPECT_EQ(session->GetPlayer()->GetCharacterTemplate()->m_iUnitType, 28);
  EXPECT_EQ(session->GetShipsForSale().size(), 2u) << "a new session replaces the offers";
  EXPECT_EQ(session->GetNumPotions(), 2);
}

TEST_F(GameSessionCampaignTest, WithoutScriptFunctionsASessionStartsEmpty) {
  GameSessionManager* session = Session("-- nothing\n");
  ASSERT_NE(session->GetPlayer(), nullptr);
  EXPECT_EQ(session->GetLevelTable(), (std::vector<int>{0}));
  EXPECT_TRUE(session->GetShipsForSale().empty());
  EXPECT_EQ(session->GetNumPotions(), 0);
  EXPECT_TRUE(session->GetGameArea().empty());
  EXPECT_EQ(session->InitCharacter(nullptr, 3, true), nullptr);
  UnitEntityTemplate t;
  EXPECT_EQ(session->InitCharacter(&t, 3, true), &t);
  EXPECT_EQ(t.m_iUnitType, 3);
  EXPECT_NE(t.m_iUniqueID, 0);
  EXPECT_EQ(session->GetCollectableById(1), nullptr);
}

TEST_F(GameSessionCampaignTest, ClearingTheSessionForgetsTheTownAndTheLandBattleSelection) {
  GameSessionManager* session = Session();
  TownInfo& town = TownManager::GetInstance()->GetCurrentTownInfo();
  town.name = "Harbour";
  town.sceneType = 3;
  town.maxCollectables = 7;
  town.mansionVisited = true;
  session->SetPlayerAlive(false);
  session->SetSelectedShipAtShipYard(*session->GetShipsForSale().begin());
  session->ClearSession();
  EXPECT_TRUE(town.name.IsEmpty());
  EXPECT_EQ(town.sceneType, 0);
  EXPECT_EQ(town.maxCollectables, 2);
  EXPECT_FALSE(town.mansionVisited);
  EXPECT_EQ(town.town, nullptr);
  EXPECT_TRUE(session->IsPlayerAlive());
  EXPECT_EQ(session->GetSelectedShipAtShipYard(), nullptr) << "the chosen offer was freed";
  EXPECT_EQ(session->GetPlayer(), nullptr);
  EXPECT_TRUE(session->GetShipsForSale().empty());
  EXPECT_EQ(session->GetNumPotions(), 0);
}

// ---- heroes and units --------------------------------------------------------------------------------

TEST_F(GameSessionCampaignTest, AFourthHeroAndAFourthUnitAreRefused) {
  GameSessionManager* session = Session();
  HeroStats* named = session->AddHero("scripts/Heroes/Pirate.lua", VisVector_cl(0, 0, 0));
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(named->GetCharacterTemplate()->m_sUnitScript, "scripts/Heroes/Pirate.lua");
  EXPECT_EQ(named->GetCharacterTemplate()->m_iNation, 1);
  HeroStats* byId = session->AddHeroById(5, VisVector_cl(0, 0, 0));
  ASSERT_NE(byId, nullptr);
  EXPECT_EQ(byId->GetCharacterTemplate()->m_iUnitType, 5);
  ASSERT_NE(session->AddHeroById(6, VisVector_cl(0, 0, 0)), nullptr);
  EXPECT_EQ(session->AddHero("scripts/Heroes/Fourth.lua", VisVector_cl(0, 0, 0)), nullptr);
  EXPECT_EQ(session->AddHeroById(4, VisVector_cl(0, 0, 0)), nullptr);
  EXPECT_EQ(session->GetHeroCount(), 3);
  EXPECT_EQ(session->GetHero(3), nullptr);

  std::vector<UnitEntity*> units;
  for (int i = 0; i < 4; ++i) {
    units.push_back(MakeUnit(10 + i));
    session->AddUnitToHero(byId, units.back());
  }
  ASSERT_EQ(byId->GetUnitRecordCount(), 3);
  EXPECT_EQ(units[3]->GetHeroStats(), nullptr) << "the fourth unit stays without a hero";
  EXPECT_EQ(units[2]->GetHeroStats(), byId);
  EXPECT_EQ(units[2]->GetHeroIndex(), 2);
  EXPECT_FALSE(units[2]->IsHero());

  EXPECT_TRUE(session->HasUnit(11));
  EXPECT_FALSE(session->HasUnit(13));
  EXPECT_EQ(session->GetHeroByTemplateId(units[1]->GetUniqueID()), byId);
  EXPECT_EQ(session->GetHeroByTemplateId(units[3]->GetUniqueID()), nullptr);
  EXPECT_EQ(session->GetHeroByTemplateId(0), nullptr);

  session->RemoveUnitFromHero(units[1]);
  EXPECT_EQ(byId->GetUnitRecordCount(), 2);
  EXPECT_FALSE(session->HasUnit(11));
  session->RemoveUnitFromHero(units[3]);  // no hero: nothing
  EXPECT_EQ(byId->GetUnitRecordCount(), 2);
}

TEST_F(GameSessionCampaignTest, UnitTypeNames) {
  const struct {
    int type;
    const char* key;
  } cases[] = {{1, "str_MAIN_CHARACTER_PIRATE"}, {6, "str_HERO_CHARACTER_PIRATE"}, {19, "str_UNIT_BRINEMARK_COMMAND"},
               {23, "str_UNIT_COLONIAL_RANGED"},  {30, "str_CHARACTER_QUICKDRAW"},  {31, "str_STORYLINEMISSION_CORSAIR_04_NPC1"},
               {0, ""},                           {20, ""},                         {32, ""}};
  for (const auto& c : cases) EXPECT_EQ(GameSessionManager::GetUnitTypeName(c.type), c.key) << c.type;
}

TEST_F(GameSessionCampaignTest, RatingsComeFromTheSoldierValuesSkillsAndLevelUps) {
  GameSessionManager* session = Session();
  EXPECT_EQ(session->GetUnitDamage(nullptr), 0);
  EXPECT_EQ(session->GetPlayerCharacterSpeed(nullptr), 0.0f);

  UnitEntityTemplate basic;
  basic.m_iUnitType = 15;  // melee 3 + ranged 1, speed 2.5, 90 hit points
  EXPECT_EQ(session->GetUnitDamage(&basic), 0);
  EXPECT_EQ(session->GetUnitSpeed(&basic), 1);
  EXPECT_FLOAT_EQ(session->GetPlayerCharacterSpeed(&basic), 1.0f);
  EXPECT_EQ(session->GetUnitToughness(&basic), 0);

  UnitEntityTemplate strong;
  strong.m_iUnitType = 10;  // melee 20 + ranged 12, speed 4.5, 250 hit points
  EXPECT_EQ(session->GetUnitDamage(&strong), 6);
  EXPECT_EQ(session->GetUnitSpeed(&strong), 7);
  EXPECT_EQ(session->GetUnitToughness(&strong), 2);

  // A hero's skills add their two damage bonuses (rounded for the unit rating).
  HeroStats* hero = session->AddHeroById(4, VisVector_cl(0, 0, 0));
  UnitEntity* unit = MakeUnit(10);
  session->AddUnitToHero(hero, unit);
  UnitEntityTemplate* led = hero->GetUnitRecord(0)->m_pTemplate;
  hero->AddSkill("Brawler");
  hero->AddSkill("Marksman");
  EXPECT_EQ(session->GetUnitDamage(led), (32 + 2 * (10 + 6)) / 5);
  for (int i = 0; i < 20; ++i) hero->AddSkill("Brawler");
  EXPECT_EQ(session->GetUnitDamage(led), 15) << "capped";

  // The player's character adds the level-up increase.
  StatsIncrease* increase = session->GetPlayer()->GetPlayerLevelUpStats();
  increase->m_iMeleeMinDamage = 3;
  increase->m_iRangedMinDamage = 5;
  increase->m_iHitPoints = 50;
  increase->m_fSpeed = 0.5f;
  EXPECT_FLOAT_EQ(session->GetPlayerCharacterDamage(&strong), (32 + 8) * 0.2f);
  EXPECT_FLOAT_EQ(session->GetPlayerCharacterSpeed(&strong), (1.5f + 0.5f) * 4.0f + 1.0f);
  EXPECT_FLOAT_EQ(session->GetPlayerCharacterToughness(&strong), 3.0f);
  EXPECT_FLOAT_EQ(session->GetPlayerCharacterDamage(led), 15.0f) << "capped";
}

TEST_F(GameSessionCampaignTest, AvailableSkillsAreThoseNotLearnedAndNotExcluded) {
  GameSessionManager* session = Session();
  std::vector<VString> skills;
  session->GetAvailableSkills(skills, nullptr);
  EXPECT_TRUE(skills.empty());
  HeroStats* hero = session->AddHeroById(4, VisVector_cl(0, 0, 0));
  hero->AddSkill("Brawler");
  session->GetAvailableSkills(skills, hero);
  EXPECT_EQ(skills, (std::vector<VString>{"Marksman"}));
}

// ---- inventory -------------------------------------------------------------------------------------

TEST_F(GameSessionCampaignTest, InventoryCountsAndRemoval) {
  GameSessionManager* session = Session();
  auto item = [&](const char* key, int type) {
    auto* t = new CollectableEntityTemplate();
    t->m_sKey = key;
    t->m_iItemType = type;
    session->AddCollectable(t);
  };
  item("Rum", 1);
  item("Rum", 1);
  item("Rum", 1);
  item("Compass", 2);
  item("Tar", 1);
  item("Bone", 3);
  EXPECT_EQ(session->GetPlayerCollectableCount(), 4);
  EXPECT_EQ(session->GetPlayerConsumableCount(), 2);
  EXPECT_EQ(session->GetPlayerCollectableCountByName("Rum"), 3);
  EXPECT_EQ(session->GetPlayerCollectableCountByName("Gold"), 0);
  EXPECT_EQ(session->GetCollectable(1)->m_sKey, "Compass");
  EXPECT_EQ(session->GetCollectable(4), nullptr);

  EXPECT_FALSE(session->DecreaseCollectableCountByName("Gold", 1));
  EXPECT_TRUE(session->DecreaseCollectableCountByName("Rum", 2));
  EXPECT_EQ(session->GetPlayerCollectableCountByName("Rum"), 1);
  EXPECT_TRUE(session->DecreaseCollectableCountByName("Rum", 5));
  EXPECT_EQ(session->GetCollectableByName("Rum"), nullptr);

  EXPECT_TRUE(session->RemoveCollectableByName("Tar"));
  EXPECT_FALSE(session->RemoveCollectableByName("Tar"));
  session->RemoveCollectable(0);
  ASSERT_EQ(session->GetPlayerCollectableCount(), 1);
  EXPECT_EQ(session->GetCollectable(0)->m_sKey, "Bone");
  session->RemoveCollectable(5);  // beyond the inventory: nothing
  EXPECT_EQ(session->GetPlayerCollectableCount(), 1);
}

TEST_F(GameSessionCampaignTest, ACollectableByIdIsMadeFromItsScript) {
  GameSessionManager* session = Session();
  CollectableEntityTemplate* rum = session->GetCollectableById(1);
  ASSERT_NE(rum, nullptr);
  EXPECT_EQ(rum->m_sCollectableScriptFile, "scripts/Collectables/Rum.lua");
  rum->m_sKey = "Rum";
  session->AddCollectable(rum);
  EXPECT_TRUE(session->UseCollectableByName("Rum"));
  EXPECT_EQ(session->GetCollectableByName("Rum"), nullptr) << "used up";
  EXPECT_EQ(session->GetCollectableById(3), nullptr) << "beyond the catalogue";
}

// ---- placing heroes and healing ---------------------------------------------------------------------

TEST_F(GameSessionCampaignTest, ThePlayersLevelUpsCountOnceHoweverOftenTheHeroIsPlaced) {
  GameSessionManager* session = Session();
  PlayerStats* player = session->GetPlayer();
  SoldierStats* own = player->GetSoldierStats();
  own->m_Hitpoints.SetMaximum(100);
  own->m_Hitpoints.SetCurrent(100);
  own->m_CombatSkills.m_iMeleeMinDamage = 10;
  own->m_fSpeed = 4.0f;
  StatsIncrease* increase = player->GetPlayerLevelUpStats();
  increase->m_iMeleeMinDamage = 5;
  increase->m_iHitPoints = 20;
  increase->m_fSpeed = 0.5f;

  for (int spawn = 0; spawn < 2; ++spawn) {
    session->SpawnHero(player, VisVector_cl(10, 20, 0));
    VisBaseEntity_cl* found = GameManager::GetInstance()->FindEntityByUniqueID(player->GetCharacterTemplate()->m_iUniqueID);
    ASSERT_NE(found, nullptr) << spawn;
    auto* unit = static_cast<UnitEntity*>(found);
    EXPECT_TRUE(unit->IsHero());
    EXPECT_EQ(unit->GetHeroStats(), player);
    EXPECT_EQ(unit->GetHeroIndex(), -1);
    ASSERT_EQ(unit->GetSoldiers().size(), 1u);
    SoldierEntity* soldier = unit->GetSoldiers()[0];
    EXPECT_EQ(soldier->GetStats(), own);
    EXPECT_EQ(soldier->GetUniqueID(), own->GetTemplate()->m_iUniqueID);
    EXPECT_EQ(own->m_CombatSkills.m_iMeleeMinDamage, 15) << spawn;
    EXPECT_EQ(own->m_Hitpoints.GetMaximum(), 120) << spawn;
    InfantryMovementComponent* movement = soldier->GetMovementComponent();
    ASSERT_NE(movement, nullptr);
    EXPECT_FLOAT_EQ(movement->GetBaseSpeed(), movement->GetSpeedFactor() * 4.0f + 0.5f) << spawn;
    // The next scene makes the character anew.
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(GameSessionCampaignTest, AHerosUnitsStandOnACircleAroundHim) {
  GameSessionManager* session = Session();
  TownManager::GetInstance()->GetCurrentTownInfo().name = "Harbour";
  HeroStats* hero = session->AddHeroById(4, VisVector_cl(0, 0, 0));
  hero->GetSoldierStats()->m_Hitpoints.SetMaximum(100);
  hero->GetSoldierStats()->m_Hitpoints.SetCurrent(0);  // the hero himself is down
  for (int i = 0; i < 2; ++i) {
    auto* record = new HeroUnitRecord();
    record->m_pTemplate->m_iUnitType = 15;
    record->m_pTemplate->m_iUniqueID = GameManager::GetInstance()->GetNextUniqueID();
    for (int s = 0; s < 2; ++s) {
      auto* stats = new SoldierStats();
      stats->m_Hitpoints.SetMaximum(100);
      stats->m_Hitpoints.SetCurrent(s == 0 ? 50 : 0);
      record->m_soldiers.push_back(stats);
    }
    ASSERT_TRUE(hero->AddUnitRecord(record));
  }
  session->SpawnHero(hero, VisVector_cl(10, 20, 0));
  EXPECT_EQ(GameManager::GetInstance()->FindEntityByUniqueID(hero->GetCharacterTemplate()->m_iUniqueID), nullptr);
  for (int i = 0; i < 2; ++i) {
    UnitEntity* unit = hero->GetUnitByIndex(i);
    ASSERT_NE(unit, nullptr) << i;
    EXPECT_EQ(unit->GetHeroStats(), hero);
    EXPECT_EQ(unit->GetHeroIndex(), i);
    EXPECT_EQ(unit->GetSoldiers().size(), 1u) << "only the living soldier stands";
    EXPECT_EQ(hero->GetUnitRecord(i)->m_sTownName, "Harbour");
  }
  const VisVector_cl& first = hero->GetUnitRecord(0)->m_pTemplate->m_vPosition;
  const VisVector_cl& second = hero->GetUnitRecord(1)->m_pTemplate->m_vPosition;
  EXPECT_NEAR(first.x, 14.0f, 1e-4f);
  EXPECT_NEAR(first.y, 20.0f, 1e-4f);
  EXPECT_NEAR(second.x, 6.0f, 1e-4f);
  EXPECT_NEAR(second.y, 20.0f, 1e-4f);

  // Back on the world map everybody is healed.
  session->HealAll();
  EXPECT_EQ(hero->GetSoldierStats()->m_Hitpoints.GetCurrent(), 100);
  EXPECT_EQ(hero->GetUnitRecord(1)->m_soldiers[1]->m_Hitpoints.GetCurrent(), 100);
  SoldierStats* own = session->GetPlayer()->GetSoldierStats();
  own->m_Hitpoints.SetMaximum(-1);
  own->m_Hitpoints.SetCurrent(5);
  session->HealAll();
  EXPECT_EQ(own->m_Hitpoints.GetCurrent(), 5) << "a record without a maximum is left";
}

// ---- ships ----------------------------------------------------------------------------------------

class GameSessionShipsTest : public GameSessionCampaignTest {
 protected:
  ShipEntity* MakeShip(int nation, const VisVector_cl& position = VisVector_cl(0, 0, 0)) {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", position));
    ship->SetNation(nation);
    GameManager::GetInstance()->GetNation(nation)->AddShip(ship);
    return ship;
  }
};

TEST_F(GameSessionShipsTest, AShipInATownLeavesTheWorldMapUnlessThePlayerSailsIt) {
  GameSessionManager* session = Session();
  ShipEntity* moored = MakeShip(1);
  ShipEntity* sailed = MakeShip(1);
  TownManager::GetInstance()->GetCurrentTownInfo().name = "Harbour";
  ShipStats* mooredStats = session->AddShip(moored);
  ShipStats* sailedStats = session->AddShip(sailed);
  EXPECT_EQ(mooredStats->GetLocation(), "Harbour");
  sailedStats->SetPlayerShip(true);
  mooredStats->SetPlayerShip(false);
  // Back on the world map the ships of the scene are tied to their records again.
  TownManager::GetInstance()->GetCurrentTownInfo().name = "";
  ShipEntity* mooredAgain = MakeShip(1);
  mooredAgain->SetUniqueID(mooredStats->GetUniqueID());
  ShipEntity* sailedAgain = MakeShip(1);
  sailedAgain->SetUniqueID(sailedStats->GetUniqueID());
  EXPECT_EQ(session->AddShip(mooredAgain), mooredStats);
  EXPECT_EQ(session->AddShip(sailedAgain), sailedStats);
  EXPECT_TRUE(mooredAgain->IsMarkedRemoved());
  EXPECT_FALSE(sailedAgain->IsMarkedRemoved());
}

TEST_F(GameSessionShipsTest, SwappingMovesARecordBetweenThePlayersAndTheOtherShips) {
  GameSessionManager* session = Session();
  ShipEntity* captured = MakeShip(2);
  ShipStats* stats = session->AddShip(captured);
  GameContentManager::GetInstance()->AddNPCShip(captured);
  ASSERT_EQ(session->GetNPCShipCount(), 1);

  session->SwapPlayerNPCShip(captured);
  EXPECT_EQ(session->GetNPCShipCount(), 0);
  ASSERT_EQ(session->GetPlayer()->GetPlayerShips().size(), 1u);
  EXPECT_EQ(session->GetPlayer()->GetPlayerShips()[0], stats);
  EXPECT_FALSE(GameContentManager::GetInstance()->HasNPCShip(captured));

  ShipEntity* own = MakeShip(1);
  ShipStats* ownStats = session->AddShip(own);
  session->SwapPlayerNPCShip(own);
  EXPECT_EQ(session->GetNPCShips().count(ownStats), 1u);
  EXPECT_EQ(session->GetPlayer()->GetPlayerShips().size(), 1u);
  session->SwapPlayerNPCShip(MakeShip(1));  // no record: nothing
  EXPECT_EQ(session->GetNPCShipCount(), 1);
}

TEST_F(GameSessionShipsTest, OutsideTwoEdgesTheSecondEdgesValueIsReported) {
  GameSessionManager* session = Session();  // the area is (0,0) (0,100) (100,100) (100,0)
  float side = 0.0f;
  EXPECT_TRUE(session->IsPlayerShipInsideGameArea(&side)) << "no player entity";
  GameManager::GetInstance()->SetLocation(0);
  ShipEntity* ship = MakeShip(1, VisVector_cl(50, 50, 0));
  session->AddShip(ship)->SetPlayerShip(true);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), ship);
  EXPECT_TRUE(session->IsPlayerShipInsideGameArea(&side));

  // Beyond the top (p1-p2) and the right (p2-p3) edges.
  ship->SetPosition(VisVector_cl(110, 130, 0));
  side = 1.0f;
  EXPECT_FALSE(session->IsPlayerShipInsideGameArea(&side));
  EXPECT_FLOAT_EQ(side, (130.0f - 0.0f) * (100.0f - 100.0f) - (110.0f - 100.0f) * (100.0f - 0.0f));
  // On an edge counts as outside.
  ship->SetPosition(VisVector_cl(0, 50, 0));
  EXPECT_FALSE(session->IsPlayerShipInsideGameArea(&side));
  EXPECT_FLOAT_EQ(side, 0.0f);
}

// ---- the save block ---------------------------------------------------------------------------------

class GameSessionBlockTest : public GameSessionCampaignTest {
 protected:
  // A campaign with something in every part of the block.
  void Fill(GameSessionManager* session) {
    session->GetPlayer()->AddMoney(1234);
    HeroStats* hero = session->AddHeroById(5, VisVector_cl(0, 0, 0));
    hero->AddSkill("Brawler");
    auto* rum = new CollectableEntityTemplate();
    rum->m_sKey = "Rum";
    rum->m_iItemType = 1;
    rum->m_sLargeImage = "rum_l";
    session->AddCollectable(rum);
    auto* more = new CollectableEntityTemplate();
    more->m_sKey = "Rum";
    session->AddCollectable(more);
    ShipEntity* other = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(5, 6, 0)));
    other->SetNation(2);
    session->AddShip(other);
    session->SetLastLoadedSceneName("scenes\\world01\\World.vscene");
    session->AddEyepatchTown(nullptr, VisVector_cl(1, 2, 3));
  }
};

TEST_F(GameSessionBlockTest, TheBlockRoundTrips) {
  GameSessionManager* session = Session();
  Fill(session);
  const Bytes first = SaveBytes([&](VArchive& ar) { session->SerializeX(ar); });
  session->StartNewGameSession();
  ASSERT_EQ(session->GetHeroCount(), 0);
  bool read = false;
  ASSERT_TRUE(LoadBytes(first, [&](VArchive& ar) { read = session->SerializeX(ar); }));
  EXPECT_TRUE(read);
  EXPECT_EQ(session->GetPlayer()->GetMoney(), 1234);
  ASSERT_EQ(session->GetHeroCount(), 1);
  EXPECT_TRUE(session->GetHero(0)->HasSkill("Brawler"));
  EXPECT_EQ(session->GetPlayerCollectableCountByName("Rum"), 2);
  EXPECT_EQ(session->GetPlayerConsumableCount(), 1);
  EXPECT_EQ(session->GetNPCShipCount(), 1);
  EXPECT_EQ(session->GetLastLoadedSceneName(), "scenes\\world01\\World.vscene");
  ASSERT_EQ(session->GetCollectedEyepatches(nullptr).size(), 1u);
  EXPECT_EQ(session->GetCollectedEyepatches(nullptr)[0].z, 3.0f);
  EXPECT_TRUE(session->IsPlayerAlive());
  const Bytes second = SaveBytes([&](VArchive& ar) { session->SerializeX(ar); });
  EXPECT_EQ(first, second);
}

TEST_F(GameSessionBlockTest, ABadEndTagKeepsTheRunningCampaign) {
  GameSessionManager* session = Session();
  Fill(session);
  Bytes bytes = SaveBytes([&](VArchive& ar) { session->SerializeX(ar); });
  ASSERT_GE(bytes.size(), 3u);
  ASSERT_EQ(std::string(bytes.end() - 3, bytes.end()), "EOA");
  bytes[bytes.size() - 1] = 'X';
  PlayerStats* player = session->GetPlayer();
  session->SetLastLoadedSceneName("scenes\\town\\Harbour.vscene");
  session->SetPlayerAlive(false);
  bool read = true;
  LoadBytes(bytes, [&](VArchive& ar) { read = session->SerializeX(ar); });
  EXPECT_FALSE(read);
  EXPECT_EQ(session->GetPlayer(), player);
  EXPECT_EQ(session->GetHeroCount(), 1);
  EXPECT_EQ(session->GetPlayerCollectableCountByName("Rum"), 2);
  EXPECT_EQ(session->GetNPCShipCount(), 1);
  EXPECT_EQ(session->GetLastLoadedSceneName(), "scenes\\town\\Harbour.vscene");
  EXPECT_FALSE(session->IsPlayerAlive());
}

// An older block: the start tag, the version, a fresh player, no heroes, items, ships
// or characters, then what the version carries after them.
Bytes OldBlock(int version, const std::function<void(ByteWriter&)>& tail) {
  PlayerStats player;
  player.AddMoney(77);
  const Bytes playerBlock = SaveBytes([&](VArchive& ar) { player.SerializeX(ar); });
  ByteWriter w;
  w.Str("ARCH").U8((uint8_t)version);
  w.Raw(std::string(playerBlock.begin(), playerBlock.end()));
  w.I32(0).I32(0).I32(0).I32(0);
  tail(w);
  w.Str("EOA");
  return w.Get();
}

TEST_F(GameSessionBlockTest, OlderBlocksSkipTheirNamesAndKeepNoSceneName) {
  GameSessionManager* session = Session();
  Fill(session);
  const Bytes v4 = OldBlock(4, [](ByteWriter& w) { w.Str("scenes\\a.vscene").I32(2).Str("one").Str("two"); });
  bool read = false;
  ASSERT_TRUE(LoadBytes(v4, [&](VArchive& ar) { read = session->SerializeX(ar); }));
  EXPECT_TRUE(read);
  EXPECT_EQ(session->GetPlayer()->GetMoney(), 77);
  EXPECT_EQ(session->GetHeroCount(), 0);
  EXPECT_EQ(session->GetPlayerCollectableCount(), 0);
  EXPECT_EQ(session->GetLastLoadedSceneName(), "scenes\\a.vscene");
  EXPECT_TRUE(session->GetCollectedEyepatches(nullptr).empty());

  Fill(session);
  const Bytes v2 = OldBlock(2, [](ByteWriter&) {});
  ASSERT_TRUE(LoadBytes(v2, [&](VArchive& ar) { read = session->SerializeX(ar); }));
  EXPECT_TRUE(read);
  EXPECT_TRUE(session->GetLastLoadedSceneName().IsEmpty());
  EXPECT_TRUE(session->GetCollectedEyepatches(nullptr).empty());
}

}  // namespace
