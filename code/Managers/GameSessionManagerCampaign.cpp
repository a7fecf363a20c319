// The campaign's records: a new session, heroes and their units, ratings,
// inventory, potions and the save block.
#include "Managers/GameSessionManager.h"

#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "components/InfantryMovementComponent.h"
#include "components/UnitContainerComponent.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/HeroUnitRecord.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/StatsIncrease.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The newest form of the save block.
const char kBlockVersion = 5;
// Heroes besides the player.
const int kMaxHeroes = 3;
// The character the downloadable levels play with, and the one of their second level.
const int kDlcCharacter = 28;
const int kSecondDlcCharacter = 30;
// The ship classes the towns offer.
const int kShipClassesForSale[] = {2, 3, 4};

IVScriptInstance* GameScript() {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetGameScript() : nullptr;
  return script && script->IsValid() ? script : nullptr;
}

bool HasScriptFunction(IVScriptInstance* script, const char* name) { return script && script->HasFunction(name); }

void DeleteCollectables(std::vector<CollectableEntityTemplate*>& list) {
  for (CollectableEntityTemplate* collectable : list) collectable->DisposeObject();
  list.clear();
}

template <class T>
void DeleteAll(T& list) {
  for (auto* item : list) delete item;
  list.clear();
}

// The entity of that unique id when it is of the class; null otherwise.
template <class T>
T* FindByUniqueID(int64_t id) {
  if (id == 0) return nullptr;
  VisBaseEntity_cl* entity = GameManager::GetInstance()->FindEntityByUniqueID(id);
  return entity && entity->IsOfType(T::GetClassTypeId()) ? static_cast<T*>(entity) : nullptr;
}

int64_t TemplateId(const UnitEntityTemplate* t) { return t ? t->m_iUniqueID : 0; }

void Heal(SoldierStats* stats) {
  if (!stats) return;
  const int maximum = stats->m_Hitpoints.GetMaximum();
  if (maximum >= 0) stats->m_Hitpoints.SetCurrent(maximum);
}

bool Alive(const SoldierStats* stats) { return stats && stats->m_Hitpoints.GetCurrent() > 0; }

}  // namespace

// ---- session ---------------------------------------------------------------------------------

void GameSessionManager::StartNewGameSession() {
  ClearSession();

  SettingsManager::GetInstance()->ApplySettings();

  m_pPlayer = new PlayerStats();
  // The downloadable levels bring their own character.
  int character = GUIManager::GetInstance()->GetSelectedPlayerCharacter();
  if (GameManager::GetInstance()->GetGameMode() == GAME_MODE_DLC)
    character = MissionManager::GlobalManager().GetCurrentDlcMission() == 2 ? kSecondDlcCharacter : kDlcCharacter;
  InitCharacter(m_pPlayer->GetCharacterTemplate(), (unsigned)character, false);

  InitShipsForSale();
  InitPotions();
  InitGameArea();
}

void GameSessionManager::ClearSession() {
  ClearRecords();
  DeleteCollectables(m_collectables);
  ClearShips();
  DeleteAll(m_shipsForSale);
  // The shipyard's choice was one of the records just freed.
  m_pSelectedShipAtShipYard = nullptr;
  DeleteAll(m_potions);
  m_eyepatches.clear();
  m_gameArea.clear();
  m_bPlayerAlive = true;

  // The manager's first use may come in the middle of a scene (a soldier tying its
  // record); there is no earlier campaign then whose town or battle could be ended.
  if (m_bConstructing) return;
  // Without a town manager there is no kept town state to forget.
  if (TownManager::HasInstance()) {
    TownManager* towns = TownManager::GetInstance();
    towns->Reset();
    towns->SetCurrentTown(nullptr);
    TownInfo& info = towns->GetCurrentTownInfo();
    info.name = "";
    info.sceneType = 0;
    info.maxCollectables = 2;
    info.mansionVisited = false;
  }
  RtsManager& rts = RtsManager::GlobalManager();
  if (rts.IsInLandBattle()) {
    rts.SetLandBattle(false);
    if (Player* player = rts.GetPlayer()) player->ClearSelection();
  }
}

void GameSessionManager::InitShipsForSale() {
  IVScriptInstance* script = GameScript();
  if (!HasScriptFunction(script, "GetShipsForSaleAmount")) return;
  for (int shipClass : kShipClassesForSale) {
    int count = 0;
    script->ExecuteFunctionArg("GetShipsForSaleAmount", "i>i", shipClass, &count);
    for (int j = 1; j <= count; ++j) {
      if (!script->HasFunction("GetShipForSaleAt")) continue;
      VString town, shipScript;
      script->ExecuteFunctionArg("GetShipForSaleAt", "ii>ss", shipClass, j, &town, &shipScript);
      if (town.IsEmpty() || shipScript.IsEmpty()) continue;

      // The ship's script fills its record through a ship that exists only for that.
      VisBaseEntity_cl* entity = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0));
      if (!entity) continue;
      if (!entity->IsOfType(ShipEntity::GetClassTypeId())) {
        entity->Remove();
        continue;
      }
      ShipEntity* ship = static_cast<ShipEntity*>(entity);
      ShipStats* stats = new ShipStats();
      const int64_t id = GameManager::GetInstance()->GetNextUniqueID();
      stats->SetUniqueID(id);
      ship->SetUniqueID(id);
      stats->SetShipNation(1);
      stats->SetLocation(town.AsChar());
      stats->SetShipName("Nebukadnessar");
      stats->SetScript(shipScript.AsChar());
      if (stats->GetScript().IsEmpty()) Vision::Error.ReportAssert("pStats->m_sScript", "", __FILE__, __LINE__);
      ship->SetStats(stats);
      VScriptResourceManager* scripts = Vision::GetScriptManager();
      if (IVScriptInstance* instance = scripts->CreateScriptInstanceFromFile(shipScript.AsChar(), ship))
        scripts->SetScriptInstance(ship, instance);
      m_shipsForSale.insert(stats);
      ship->SetStats(nullptr);
      ship->Remove();
    }
  }
}

void GameSessionManager::InitPotions() {
  IVScriptInstance* script = GameScript();
  if (!HasScriptFunction(script, "GetNumberOfPotions")) return;
  int count = 0;
  script->ExecuteFunctionArg("GetNumberOfPotions", ">i", &count);
  for (int i = 1; i <= count; ++i) {
    Potion* potion = new Potion();
    if (script->HasFunction("GetCollectableForPotion"))
      script->ExecuteFunctionArg("GetCollectableForPotion", "i>i", i, &potion->collectableId);
    if (script->HasFunction("GetCaptionKeyForPotion"))
      script->ExecuteFunctionArg("GetCaptionKeyForPotion", "i>s", i, &potion->captionKey);
    if (script->HasFunction("GetLargeImageForPotion"))
      script->ExecuteFunctionArg("GetLargeImageForPotion", "i>s", i, &potion->largeImage);
    if (script->HasFunction("GetButtonImageForPotion"))
      script->ExecuteFunctionArg("GetButtonImageForPotion", "i>s", i, &potion->buttonImage);
    int ingredients = 0;
    if (script->HasFunction("GetNumIngredientsForCollectable"))
      script->ExecuteFunctionArg("GetNumIngredientsForCollectable", "i>i", i, &ingredients);
    for (int j = 1; j <= ingredients && script->HasFunction("GetIngredientForCollectableAt"); ++j) {
      int ingredient = 0;
      script->ExecuteFunctionArg("GetIngredientForCollectableAt", "ii>i", i, j, &ingredient);
      potion->ingredients.push_back(ingredient);
    }
    m_potions.push_back(potion);
  }
}

Potion* GameSessionManager::GetPotionId(int collectableId) const {
  for (Potion* potion : m_potions)
    if (potion->collectableId == collectableId) return potion;
  return nullptr;
}

// ---- heroes ------------------------------------------------------------------------------------

HeroStats* GameSessionManager::AddHero(const char* name, VisVector_cl pos) {
  if (m_heroes.size() >= (size_t)kMaxHeroes) return nullptr;
  HeroStats* hero = new HeroStats();
  UnitEntityTemplate* t = hero->GetCharacterTemplate();
  t->m_iNation = 1;
  t->m_iReserved1 = 0;
  t->m_sUnitScript = name ? name : "";
  m_heroes.push_back(hero);
  PlaceNewHero(hero, pos);
  return hero;
}

HeroStats* GameSessionManager::AddHeroById(unsigned id, VisVector_cl pos) {
  if (m_heroes.size() >= (size_t)kMaxHeroes) return nullptr;
  HeroStats* hero = new HeroStats();
  UnitEntityTemplate* t = hero->GetCharacterTemplate();
  t->m_iNation = 1;
  t->m_iReserved1 = 0;
  InitCharacter(t, id, false);
  m_heroes.push_back(hero);
  PlaceNewHero(hero, pos);
  return hero;
}

void GameSessionManager::PlaceNewHero(HeroStats* hero, VisVector_cl pos) {
  UnitEntity* character = m_pPlayer ? FindByUniqueID<UnitEntity>(TemplateId(m_pPlayer->GetCharacterTemplate())) : nullptr;
  if (!character) return;
  if (pos.x == 0.0f && pos.y == 0.0f && pos.z == 0.0f) pos = character->GetPosition();
  pos.x += (float)std::rand() / 32767.0f * 0.5f + 1.0f;
  pos.y += (float)std::rand() / 32767.0f * 0.5f + 1.0f;
  pos.z = BattleManager::GetInstance()->GetTerrainHeight(pos, true) + 0.5f;
  SpawnHero(hero, pos);
}

HeroStats* GameSessionManager::GetHeroByTemplateId(int64_t id) const {
  // Templates not yet given an id share 0; it names no hero.
  if (id == 0) return nullptr;
  auto matches = [id](HeroStats* hero) {
    if (!hero) return false;
    if (TemplateId(hero->GetCharacterTemplate()) == id) return true;
    for (int i = 0; i < hero->GetUnitRecordCount(); ++i)
      if (TemplateId(hero->GetUnitRecord(i)->m_pTemplate) == id) return true;
    return false;
  };
  if (matches(m_pPlayer)) return m_pPlayer;
  for (HeroStats* hero : m_heroes)
    if (matches(hero)) return hero;
  return nullptr;
}

UnitEntityTemplate* GameSessionManager::InitCharacter(UnitEntityTemplate* t, unsigned id, bool newId) {
  if (!t) return t;
  IVScriptInstance* script = GameScript();
  if (HasScriptFunction(script, "InitUnitEntityTemplate")) {
    VString s[6];
    script->ExecuteFunctionArg("InitUnitEntityTemplate", "i>ssssss", (int)id, &s[0], &s[1], &s[2], &s[3], &s[4],
                               &s[5]);
    // The first is the name key; the others are the unit's scripts and pictures.
    LocalizationTable* texts = LocalizationTable::GetInstance();
    const std::string key = std::string("str_") + s[0].AsChar();
    t->m_sUnitName = texts->GetText(key.c_str()).c_str();
    t->m_sSecondName = texts->GetText((key + "_DESCRIPTION").c_str()).c_str();
    t->m_sUnitScript = s[1];
    t->m_sSoldierScriptFile = s[2];
    t->m_sUnitImage = s[3];
    t->m_sSkillImage = s[4];
    t->m_sImageSet = s[5];
  }
  t->m_iUnitType = (int)id;
  if (newId && t->m_iUniqueID == 0) t->m_iUniqueID = GameManager::GetInstance()->GetNextUniqueID();
  return t;
}

void GameSessionManager::AddUnitToHero(HeroStats* hero, UnitEntity* unit) {
  if (!hero || !unit || hero->GetUnitRecordCount() >= HeroStats::MAX_UNITS) return;
  HeroUnitRecord* record = new HeroUnitRecord();
  unit->SaveToTemplate(record->m_pTemplate);
  record->m_sTownName = TownManager::GetInstance()->GetCurrentTownInfo().name;
  if (!hero->AddUnitRecord(record)) {
    delete record;
    return;
  }
  unit->SetIsHero(false);
  unit->SetHeroStats(hero);
  unit->SetHeroIndex(hero->GetUnitRecordCount() - 1);
}

void GameSessionManager::RemoveUnitFromHero(UnitEntity* unit) {
  HeroStats* hero = unit ? unit->GetHeroStats() : nullptr;
  if (!hero) return;
  for (int i = 0; i < hero->GetUnitRecordCount(); ++i) {
    HeroUnitRecord* record = hero->GetUnitRecord(i);
    if (TemplateId(record->m_pTemplate) != unit->GetUniqueID()) continue;
    hero->DeleteUnitRecord(record);
    return;
  }
}

bool GameSessionManager::HasUnit(int unitType) const {
  if (m_pPlayer && m_pPlayer->HasUnit((UnitType)unitType)) return true;
  for (HeroStats* hero : m_heroes)
    for (int i = 0; i < hero->GetUnitRecordCount(); ++i) {
      const UnitEntityTemplate* t = hero->GetUnitRecord(i)->m_pTemplate;
      if (t && t->m_iUnitType == unitType) return true;
    }
  return false;
}

VString GameSessionManager::GetUnitTypeName(int unitType) {
  struct Name {
    int type;
    const char* key;
  };
  static const Name names[] = {
      {1, "str_MAIN_CHARACTER_PIRATE"},
      {2, "str_MAIN_CHARACTER_CORSAIR"},
      {3, "str_MAIN_CHARACTER_BUCCANEER"},
      {4, "str_HERO_CHARACTER_CORSAIR"},
      {5, "str_HERO_CHARACTER_BUCCANEER"},
      {6, "str_HERO_CHARACTER_PIRATE"},
      {7, "str_UNIT_STINK_BOMBER"},
      {8, "str_UNIT_ROCKETEER"},
      {9, "str_UNIT_CRAZY_CANNONEER"},
      {10, "str_UNIT_CORSAIR_BASIC"},
      {11, "str_UNIT_BUCCANEER_ADVANCED"},
      {12, "str_UNIT_ADVANCED_PIRATE"},
      {13, "str_UNIT_ADVANCED_CORSAIR"},
      {14, "str_UNIT_BUCCANEER_BASIC"},
      {15, "str_UNIT_PIRATE_BASIC"},
      {16, "str_UNIT_BRINEMARK_BASIC"},
      {17, "str_UNIT_BRINEMARK_RANGED"},
      {18, "str_UNIT_BRINEMARK_SPECIAL"},
      {19, "str_UNIT_BRINEMARK_COMMAND"},
      {23, "str_UNIT_COLONIAL_RANGED"},
      {24, "str_UNIT_COLONIAL_BASIC"},
      {25, "str_UNIT_COLONIAL_COMMAND"},
      {29, "str_STORYLINEMISSION_PIRATE_04_NPC2"},
      {30, "str_CHARACTER_QUICKDRAW"},
      {31, "str_STORYLINEMISSION_CORSAIR_04_NPC1"},
  };
  for (const Name& name : names)
    if (name.type == unitType) return VString(name.key);
  return VString();
}

// ---- ratings -------------------------------------------------------------------------------------

namespace {

// Melee and ranged minimum damage of the unit type's soldiers.
int BaseDamage(const GameSessionManager& session, const UnitEntityTemplate* t) {
  std::unique_ptr<SoldierStats> stats(session.GetSoldierStats(t->m_iUnitType));
  return stats->m_CombatSkills.m_iMeleeMinDamage + stats->m_CombatSkills.m_iRangedMinDamage;
}

float SoldierSpeed(const GameSessionManager& session, const UnitEntityTemplate* t) {
  std::unique_ptr<SoldierStats> stats(session.GetSoldierStats(t->m_iUnitType));
  return stats->m_fSpeed;
}

int MaximumHitpoints(const GameSessionManager& session, const UnitEntityTemplate* t) {
  std::unique_ptr<SoldierStats> stats(session.GetSoldierStats(t->m_iUnitType));
  return stats->m_Hitpoints.GetMaximum();
}

const StatsIncrease* LevelUpIncrease(const PlayerStats* player) {
  return player ? player->GetPlayerLevelUpStats() : nullptr;
}

}  // namespace

int GameSessionManager::GetUnitDamage(UnitEntityTemplate* t) const {
  if (!t) return 0;
  int damage = BaseDamage(*this, t);
  if (HeroStats* hero = GetHeroByTemplateId(t->m_iUniqueID))
    for (const Skill& skill : hero->GetSkills())
      damage += (int)std::lround(skill.GetValue(1)) + (int)std::lround(skill.GetValue(2));
  return std::min(damage / 5, 15);
}

float GameSessionManager::GetPlayerCharacterDamage(UnitEntityTemplate* t) const {
  if (!t) return 0.0f;
  float damage = (float)BaseDamage(*this, t);
  if (HeroStats* hero = GetHeroByTemplateId(t->m_iUniqueID))
    for (const Skill& skill : hero->GetSkills()) damage += skill.GetValue(1) + skill.GetValue(2);
  if (const StatsIncrease* increase = LevelUpIncrease(m_pPlayer))
    damage += (float)(increase->m_iMeleeMinDamage + increase->m_iRangedMinDamage);
  return std::min(damage * 0.2f, 15.0f);
}

int GameSessionManager::GetUnitSpeed(UnitEntityTemplate* t) const {
  if (!t) return 0;
  const float speed = SoldierSpeed(*this, t);
  return speed > 3.0f ? 1 + (int)std::floor((speed - 3.0f) * 4.0f) : 1;
}

float GameSessionManager::GetPlayerCharacterSpeed(UnitEntityTemplate* t) const {
  if (!t) return 0.0f;
  const float above = SoldierSpeed(*this, t) - 3.0f;
  if (above <= 0.0f) return 1.0f;
  const StatsIncrease* increase = LevelUpIncrease(m_pPlayer);
  return (above + (increase ? increase->m_fSpeed : 0.0f)) * 4.0f + 1.0f;
}

int GameSessionManager::GetUnitToughness(UnitEntityTemplate* t) const {
  return t ? MaximumHitpoints(*this, t) / 100 : 0;
}

float GameSessionManager::GetPlayerCharacterToughness(UnitEntityTemplate* t) const {
  if (!t) return 0.0f;
  const StatsIncrease* increase = LevelUpIncrease(m_pPlayer);
  return (float)(MaximumHitpoints(*this, t) + (increase ? increase->m_iHitPoints : 0)) * 0.01f;
}

void GameSessionManager::GetAvailableSkills(std::vector<VString>& out, HeroStats* hero) const {
  if (!hero) return;
  for (const Skill& skill : hero->GetLearnableSkills(GameScript())) out.push_back(skill.m_sName);
}

// ---- inventory -------------------------------------------------------------------------------------

CollectableEntityTemplate* GameSessionManager::GetCollectable(unsigned i) const {
  return i < m_collectables.size() ? m_collectables[i] : nullptr;
}

int GameSessionManager::GetPlayerCollectableCountByName(const char* name) const {
  const CollectableEntityTemplate* entry = GetCollectableByName(name);
  return entry ? entry->m_iCount : 0;
}

int GameSessionManager::GetPlayerConsumableCount() const {
  const int kConsumable = 1;
  return (int)std::count_if(m_collectables.begin(), m_collectables.end(),
                            [](const CollectableEntityTemplate* c) { return c->m_iItemType == kConsumable; });
}

bool GameSessionManager::DecreaseCollectableCountByName(const char* name, int n) {
  CollectableEntityTemplate* entry = GetCollectableByName(name);
  if (!entry) return false;
  entry->m_iCount -= n;
  if (entry->m_iCount < 1) {
    m_collectables.erase(std::find(m_collectables.begin(), m_collectables.end(), entry));
    entry->DisposeObject();
  }
  return true;
}

void GameSessionManager::RemoveCollectable(unsigned i) {
  // Callers pass an index below the count; anything else is ignored.
  if (i >= m_collectables.size()) return;
  CollectableEntityTemplate* entry = m_collectables[i];
  m_collectables.erase(m_collectables.begin() + i);
  entry->DisposeObject();
}

bool GameSessionManager::RemoveCollectableByName(const char* name) {
  CollectableEntityTemplate* entry = GetCollectableByName(name);
  if (!entry) return false;
  RemoveCollectable((unsigned)(std::find(m_collectables.begin(), m_collectables.end(), entry) - m_collectables.begin()));
  return true;
}

CollectableEntityTemplate* GameSessionManager::GetCollectableById(int id) const {
  IVScriptInstance* script = GameScript();
  if (!HasScriptFunction(script, "GetAllCollectableCount")) return nullptr;
  int count = 0;
  script->ExecuteFunctionArg("GetAllCollectableCount", ">i", &count);
  if (id > count) return nullptr;
  VString path;
  if (script->HasFunction("GetAllCollectableScript"))
    script->ExecuteFunctionArg("GetAllCollectableScript", "i>s", id, &path);
  if (path.IsEmpty()) {
    Vision::Error.ReportAssert("pszScript", "Collectable not found", __FILE__, __LINE__);
    return nullptr;
  }
  // The item's script fills in what it is; the stored form is taken from the item.
  CollectableEntityTemplate* templ = new CollectableEntityTemplate();
  templ->m_sCollectableScriptFile = path;
  if (VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*templ)) {
    if (entity->IsOfType(CollectableEntity::GetClassTypeId())) static_cast<CollectableEntity*>(entity)->SaveToTemplate(*templ);
    entity->DisposeObject();
  }
  return templ;
}

// ---- ships -------------------------------------------------------------------------------------------

void GameSessionManager::SwapPlayerNPCShip(ShipEntity* ship) {
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats) return;
  RemoveShip(ship, false);
  Nation* player = GameManager::GetInstance()->GetPlayerNation();
  if (player && ship->GetNation() == player->GetNationId()) {
    m_npcShips.insert(stats);
    return;
  }
  if (m_pPlayer) m_pPlayer->AddPlayerShip(stats);
  if (GameContentManager::HasInstance()) GameContentManager::GetInstance()->RemoveNPCShip(ship);
}

// ---- placing heroes --------------------------------------------------------------------------------

void GameSessionManager::SpawnHero(HeroStats* hero, const VisVector_cl& pos) {
  if (!hero) return;
  if (hero != m_pPlayer && std::find(m_heroes.begin(), m_heroes.end(), hero) == m_heroes.end())
    m_heroes.push_back(hero);
  const bool isPlayer = hero == m_pPlayer;
  const int heroIndex = isPlayer ? -1 : (int)(std::find(m_heroes.begin(), m_heroes.end(), hero) - m_heroes.begin());
  GameManager* game = GameManager::GetInstance();

  UnitEntityTemplate* character = hero->GetCharacterTemplate();
  character->m_vPosition = pos;
  SoldierStats* own = hero->GetSoldierStats();
  if (Alive(own)) {
    UnitEntity* unit = FindByUniqueID<UnitEntity>(character->m_iUniqueID);
    if (!unit) {
      VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*character);
      if (entity && entity->IsOfType(UnitEntity::GetClassTypeId()))
        unit = static_cast<UnitEntity*>(entity);
      else if (entity)
        entity->Remove();
    }
    if (unit) {
      unit->SetCastShadows(true);
      unit->SetIsHero(true);
      unit->SetHeroStats(hero);
      unit->SetHeroIndex(heroIndex);
      SoldierEntityTemplate* soldierTemplate = own->GetTemplate();
      SoldierEntity* soldier = FindByUniqueID<SoldierEntity>(soldierTemplate ? soldierTemplate->m_iUniqueID : 0);
      if (!soldier) {
        if (soldierTemplate && soldierTemplate->m_iUniqueID == 0) {
          soldierTemplate->m_iUniqueID = game->GetNextUniqueID();
          if (Nation* nation = game->GetPlayerNation()) soldierTemplate->m_iNation = nation->GetNationId();
        }
        soldier = unit->AddSoldier(own);
        if (soldier && isPlayer) {
          // The record takes the level-ups once; the new soldier walks faster each time it is made.
          m_pPlayer->ApplyLevelUpIncrease();
          if (InfantryMovementComponent* movement = soldier->GetMovementComponent())
            movement->SetBaseSpeed(movement->GetSpeedFactor() * own->m_fSpeed +
                                   m_pPlayer->GetPlayerLevelUpStats()->m_fSpeed);
        }
        if (soldier && soldierTemplate) soldier->SetUniqueID(soldierTemplate->m_iUniqueID);
      }
      if (soldier) soldier->SetPosition(unit->GetPosition());
      if (isPlayer)
        if (Player* player = RtsManager::GlobalManager().GetPlayer()) player->DoSelection(unit, true, false);
    }
  }

  const VString town = TownManager::GetInstance()->GetCurrentTownInfo().name;
  const int n = hero->GetUnitRecordCount();
  for (int i = 0; i < n; ++i) {
    HeroUnitRecord* record = hero->GetUnitRecord(i);
    const float angle = (float)i / (float)n * 2.0f * 3.14159265f;
    VisVector_cl place = pos;
    place.x += 4.0f * std::cos(angle);
    place.y += 4.0f * std::sin(angle);
    place.z = BattleManager::GetInstance()->GetTerrainHeight(place, true) + 0.5f;
    record->m_sTownName = town;
    if (!record->m_pTemplate) continue;
    record->m_pTemplate->m_vPosition = place;
    UnitEntity* unit = FindByUniqueID<UnitEntity>(record->m_pTemplate->m_iUniqueID);
    if (!unit) {
      VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*record->m_pTemplate);
      if (entity && entity->IsOfType(UnitEntity::GetClassTypeId())) {
        unit = static_cast<UnitEntity*>(entity);
      } else {
        if (entity) entity->Remove();
        continue;
      }
    }
    unit->SetCastShadows(true);
    unit->SetIsHero(false);
    unit->SetHeroStats(hero);
    unit->SetHeroIndex(i);
    VisVector_cl soldierPlace = unit->GetPosition();
    for (SoldierStats* stats : record->m_soldiers) {
      if (!Alive(stats)) continue;
      SoldierEntity* soldier = FindByUniqueID<SoldierEntity>(stats->GetTemplate() ? stats->GetTemplate()->m_iUniqueID : 0);
      if (!soldier) soldier = unit->AddSoldier(stats);
      if (!soldier) continue;
      soldier->SetPosition(soldierPlace);
      VisVector_cl turn = soldier->GetOrientation();
      turn.x += MathTools::GaussianRandom() * 5.0f;
      soldier->SetOrientation(turn);
      soldierPlace.x += MathTools::GaussianRandom();
      soldierPlace.y += MathTools::GaussianRandom();
    }
  }
}

void GameSessionManager::HealAll() {
  auto healHero = [](HeroStats* hero) {
    if (!hero) return;
    Heal(hero->GetSoldierStats());
    for (int i = 0; i < hero->GetUnitRecordCount(); ++i)
      for (SoldierStats* stats : hero->GetUnitRecord(i)->m_soldiers) Heal(stats);
  };
  healHero(m_pPlayer);
  for (HeroStats* hero : m_heroes) healHero(hero);
}

void GameSessionManager::StoreEscapedUnits() {
  if (Vision::Editor.IsInEditor() && Vision::Editor.GetMode() != VisEditorManager_cl::EDITORMODE_PLAYING_IN_GAME) return;
  // The units standing in the escape area are known only to its unit container.
  VisBaseEntity_cl* area = Vision::Game.SearchEntity("EscapeArea");
  UnitContainerComponent* container = area ? area->Components<UnitContainerComponent>() : nullptr;
  if (!container) return;
  const std::vector<UnitEntity*> inside = container->GetUnitsInside();
  for (UnitEntity* unit : inside) {
    HeroStats* hero = unit->GetHeroStats();
    if (unit->IsHero() || !hero) continue;
    for (int i = 0; i < hero->GetUnitRecordCount(); ++i) {
      HeroUnitRecord* record = hero->GetUnitRecord(i);
      if (!record->m_pTemplate || TemplateId(record->m_pTemplate) != unit->GetUniqueID()) continue;
      // Off with the hero: the unit is no longer left behind in a town.
      record->m_sTownName.Reset();
      record->m_pTemplate->m_vPosition = unit->GetPosition();
    }
  }
}

// ---- save block -----------------------------------------------------------------------------------------

bool GameSessionManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    if (m_pPlayer) {
      m_pPlayer->SerializeX(ar);
    } else {
      PlayerStats fresh;
      fresh.SerializeX(ar);
    }
    ar << (int)m_heroes.size();
    for (HeroStats* hero : m_heroes) hero->SerializeX(ar);
    ar << (int)m_collectables.size();
    for (CollectableEntityTemplate* collectable : m_collectables) collectable->SerializeX(ar);
    ar << (int)m_npcShips.size();
    for (ShipStats* ship : m_npcShips) ship->SerializeX(ar);
    ar << (int)m_npcCharacters.size();
    for (SoldierStats* stats : m_npcCharacters) stats->SerializeX(ar);
    ar << m_sLastLoadedScene;
    ar << (int)m_eyepatches.size();
    for (const Eyepatch& patch : m_eyepatches) ar << patch.townNameKey << patch.position;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  // Everything is read aside; the running campaign is replaced only by a whole block.
  SavedBlockReader block(ar, "GameSessionManager", kBlockVersion);
  if (!block.IsOpen()) return false;
  auto player = std::make_unique<PlayerStats>();
  std::vector<std::unique_ptr<HeroStats>> heroes;
  std::vector<std::unique_ptr<CollectableEntityTemplate, void (*)(CollectableEntityTemplate*)>> collectables;
  std::vector<std::unique_ptr<ShipStats>> ships;
  std::vector<std::unique_ptr<SoldierStats>> characters;
  VString scene;
  std::vector<Eyepatch> eyepatches;
  const int kMinBlock = 16;  // two tags and a version at the least
  int count = 0;
  if (block.Has(2)) {
    if (!player->SerializeX(ar)) return block.Fail();
    if (!ArchiveLimits::ReadCount(ar, count, kMinBlock, kMaxHeroes)) return block.Fail();
    for (int i = 0; i < count; ++i)
      if (!heroes.emplace_back(new HeroStats())->SerializeX(ar)) return block.Fail();
    if (!ArchiveLimits::ReadCount(ar, count, kMinBlock)) return block.Fail();
    for (int i = 0; i < count; ++i) {
      collectables.emplace_back(new CollectableEntityTemplate(), [](CollectableEntityTemplate* c) { c->DisposeObject(); });
      if (!collectables.back()->SerializeX(ar)) return block.Fail();
    }
    if (!ArchiveLimits::ReadCount(ar, count, kMinBlock)) return block.Fail();
    for (int i = 0; i < count; ++i)
      if (!ships.emplace_back(new ShipStats())->SerializeX(ar)) return block.Fail();
    if (!ArchiveLimits::ReadCount(ar, count, kMinBlock)) return block.Fail();
    for (int i = 0; i < count; ++i)
      if (!characters.emplace_back(new SoldierStats())->SerializeX(ar)) return block.Fail();
  }
  if (block.Has(3) && !ArchiveLimits::ReadString(ar, scene, 4096)) return block.Fail();
  if (block.GetVersion() == 4) {
    // This version kept a list of names that nothing reads any more.
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    VString dropped;
    for (int i = 0; i < count; ++i)
      if (!ArchiveLimits::ReadString(ar, dropped, 4096)) return block.Fail();
  }
  if (block.Has(5)) {
    if (!ArchiveLimits::ReadCount(ar, count, 8)) return block.Fail();
    for (int i = 0; i < count; ++i) {
      Eyepatch patch;
      if (!ArchiveLimits::ReadString(ar, patch.townNameKey, 4096)) return block.Fail();
      ar >> patch.position;
      eyepatches.push_back(patch);
    }
  }
  if (!block.End()) return false;

  // The block checks out: the records read take the place of the running ones.
  ClearRecords();
  DeleteCollectables(m_collectables);
  ClearShips();
  if (m_pSelectedShipAtShipYard && !m_shipsForSale.count(m_pSelectedShipAtShipYard)) m_pSelectedShipAtShipYard = nullptr;
  m_pPlayer = player.release();
  for (auto& hero : heroes) m_heroes.push_back(hero.release());
  for (auto& collectable : collectables) m_collectables.push_back(collectable.release());
  for (auto& ship : ships) m_npcShips.insert(ship.release());
  for (auto& stats : characters) m_npcCharacters.push_back(stats.release());
  m_sLastLoadedScene = scene;
  m_eyepatches = std::move(eyepatches);
  m_bPlayerAlive = true;
  if (block.Has(2)) {
    const std::vector<ShipStats*>& own = m_pPlayer->GetPlayerShips();
    SpawnShips(std::set<ShipStats*>(own.begin(), own.end()));
    SpawnShips(m_npcShips);
  }
  return true;
}
