// The player, hero and land-unit functions of the "GameManager" script table: the
// player's money, experience and looks, adding heroes, walking the heroes' units,
// creating units and single soldiers, topping up units with soldiers and finding
// the soldier nearest a point.
#include "Managers/GameSessionManager.h"
#include "Managers/TutorialManager.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/IVisPhysicsObject.h"

#include <algorithm>

using namespace ScriptArgs;

namespace {

const char* const kExpectText = "Expected const char *";

// The squared limit of a search with a negative range: none in practice.
constexpr float kNoRangeLimitSquared = 1e24f;

PlayerStats* PlayerRecord() { return GameSessionManager::GetInstance()->GetPlayer(); }

// Hero index 0 is the player's own record, k >= 1 the hero list's entry k-1.
HeroStats* HeroAt(int index) {
  if (index == 0) return PlayerRecord();
  return GameSessionManager::GetInstance()->GetHero(index - 1);
}

// Unit index 0 is the hero's own template, j >= 1 the unit list's entry j-1.
UnitEntityTemplate* UnitTemplateAt(HeroStats* hero, int index) {
  if (!hero) return nullptr;
  if (index == 0) return hero->GetCharacterTemplate();
  HeroUnitRecord* record = hero->GetUnitRecord(index - 1);
  return record ? record->m_pTemplate : nullptr;
}

Player* LandPlayer() { return RtsManager::GlobalManager().GetPlayer(); }

int PushText(lua_State* L, const VString& text) { return PushString(L, text.AsChar()); }

// The two tutorial pages that introduce a new hero.
void ShowHeroTutorials() {
  TutorialManager* tutorials = TutorialManager::GetInstance();
  tutorials->ShowTutorial("str_TUTORIAL_HERO_PART1");
  tutorials->ShowTutorial("str_TUTORIAL_HERO_PART2");
}

// The player's own unit template, for the three looks functions.
UnitEntityTemplate* PlayerTemplate() {
  PlayerStats* player = PlayerRecord();
  return player ? player->GetCharacterTemplate() : nullptr;
}

// A new soldier of a spawn: a whole-number offset from -4 to 3 in x and y around the
// spawn position, turned by a small random angle; through its physics object when it
// has one, since the next physics step would put it back otherwise.
void PlaceSpawnedSoldier(SoldierEntity* soldier, const VisVector_cl& spawn) {
  VisVector_cl position = spawn;
  position.x += (float)MathTools::RandomInt(-4, 4);
  position.y += (float)MathTools::RandomInt(-4, 4);
  const float turn = 5.0f * MathTools::GaussianRandom();
  if (IVisPhysicsObject_cl* physics = soldier->GetPhysicsObject()) {
    physics->SetPosition(position);
    physics->SetRotation(physics->GetRotation() + VisVector_cl(turn, 0.0f, 0.0f));
  } else {
    soldier->SetPosition(position);
    soldier->IncOrientation(VisVector_cl(turn, 0.0f, 0.0f));
  }
}

// Adds up to count new soldiers to the unit, each placed around the spawn; the number made.
int AddSpawnedSoldiers(UnitEntity* unit, int count, const VisVector_cl& spawn) {
  int added = 0;
  for (int i = 0; i < count; ++i) {
    SoldierEntity* soldier = GameManager::GetInstance()->CreateSoldier(unit);
    if (!soldier) break;
    PlaceSpawnedSoldier(soldier, spawn);
    ++added;
  }
  return added;
}

// The living soldier nearest the position, of the player's nation or of any other; a
// negative range has no limit. Null without a nation named "Player": then no soldier
// is known to be the player's or an enemy.
SoldierEntity* ClosestSoldier(float range, const VisVector_cl& position, bool players) {
  const Nation* playerNation = GameManager::GetInstance()->GetNation(VString("Player"));
  if (!playerNation) return nullptr;
  const int playerId = playerNation->GetNationId();
  float best = range < 0.0f ? kNoRangeLimitSquared : range * range;
  SoldierEntity* closest = nullptr;
  for (unsigned i = 0; i < SoldierEntity::ElementManagerGetSize(); ++i) {
    SoldierEntity* soldier = SoldierEntity::ElementManagerGet(i);
    if (!soldier || !soldier->IsAlive()) continue;
    if ((soldier->GetNation() == playerId) != players) continue;
    const VisVector_cl d = soldier->GetPosition() - position;
    const float distance = d.x * d.x + d.y * d.y + d.z * d.z;
    if (distance < best) {
      best = distance;
      closest = soldier;
    }
  }
  return closest;
}

}  // namespace

// Player --------------------------------------------------------------------------------

int GameManager_GetPlayerEntity(lua_State* L) { return PushObject(L, GameManager::GetInstance()->GetPlayerEntity()); }

int GameManager_GetPlayerSoldierEntity(lua_State* L) {
  VisBaseEntity_cl* entity = GameManager::GetInstance()->GetPlayerEntity();
  SoldierEntity* soldier = nullptr;
  if (entity && entity->IsOfType(UnitEntity::GetClassTypeId())) {
    UnitEntity* unit = static_cast<UnitEntity*>(entity);
    if (unit->GetNumSoldiers() > 0) soldier = unit->GetSoldierAtIndex(0);
  }
  return PushObject(L, soldier);
}

int GameManager_GetMoney(lua_State* L) {
  PlayerStats* player = PlayerRecord();
  return PushInt(L, player ? player->GetMoney() : 0);
}

int GameManager_AddMoney(lua_State* L) {
  const int amount = OptInt(L, 1, 0);
  if (PlayerStats* player = PlayerRecord()) player->AddMoney(amount);
  return 0;
}

int GameManager_DecMoney(lua_State* L) {
  const int amount = OptInt(L, 1, 0);
  if (PlayerStats* player = PlayerRecord()) player->DecMoney(amount);
  return 0;
}

int GameManager_AddExperienceToPlayer(lua_State* L) {
  const int amount = CheckInt(L, 1);
  if (PlayerStats* player = PlayerRecord()) player->AddExperience(amount);
  return 0;
}

int GameManager_GetPlayerImage(lua_State* L) {
  UnitEntityTemplate* t = PlayerTemplate();
  return t ? PushText(L, t->m_sUnitImage) : 0;
}

int GameManager_GetPlayerName(lua_State* L) {
  UnitEntityTemplate* t = PlayerTemplate();
  return t ? PushText(L, t->m_sUnitName) : 0;
}

int GameManager_GetPlayerImageSet(lua_State* L) {
  UnitEntityTemplate* t = PlayerTemplate();
  return t ? PushText(L, t->m_sImageSet) : 0;
}

// Heroes --------------------------------------------------------------------------------

int GameManager_AddHero(lua_State* L) {
  const char* name = OptString(L, 1, nullptr);
  const VisVector_cl position = OptVector(L, 2, VisVector_cl(0, 0, 0));
  if (!name) return 0;
  GameSessionManager::GetInstance()->AddHero(name, position);
  ShowHeroTutorials();
  return 0;
}

int GameManager_AddHeroById(lua_State* L) {
  const int id = OptInt(L, 1, -1);
  const VisVector_cl position = OptVector(L, 2, VisVector_cl(0, 0, 0));
  if (id < 0) return 0;
  GameSessionManager::GetInstance()->AddHeroById((unsigned)id, position);
  ShowHeroTutorials();
  return 0;
}

int GameManager_GetHeroCount(lua_State* L) { return PushInt(L, GameSessionManager::GetInstance()->GetHeroCount() + 1); }

int GameManager_GetUnitCount(lua_State* L) {
  const int index = CheckInt(L, 1);
  HeroStats* hero = HeroAt(index);
  if (!hero) return 0;
  return PushInt(L, hero->GetUnitRecordCount() + 1);
}

int GameManager_GetUnit(lua_State* L) {
  const int heroIndex = CheckInt(L, 1);
  const int unitIndex = CheckInt(L, 2);
  UnitEntityTemplate* t = UnitTemplateAt(HeroAt(heroIndex), unitIndex);
  if (!t) return 0;
  VisBaseEntity_cl* unit = GameManager::GetInstance()->FindEntityByUniqueID(t->m_iUniqueID);
  return unit ? PushObject(L, unit) : 0;
}

// Land units ------------------------------------------------------------------------------

int GameManager_GetPlayerUnitCount(lua_State* L) {
  Player* player = LandPlayer();
  if (!player || GameManager::GetInstance()->GetLocation() != 1) return 0;
  return PushInt(L, player->GetPlayerUnitCount());
}

int GameManager_GetPlayerUnits(lua_State* L) {
  const int index = CheckInt(L, 1);
  Player* player = LandPlayer();
  if (!player || index < 0 || index >= player->GetPlayerUnitCount()) return 0;
  UnitEntity* unit = player->GetPlayerUnit((unsigned)index);
  return unit ? PushObject(L, unit) : 0;
}

int GameManager_CreateUnit(lua_State* L) {
  const char* unitScript = CheckString(L, 1, kExpectText);
  const VisVector_cl position = CheckVector(L, 2);
  const float yaw = CheckFloat(L, 3);
  const int nation = OptInt(L, 4, 0);
  // Argument 5 is accepted and has no use.
  const char* soldierScript = OptString(L, 6, nullptr);

  UnitEntityTemplate templ;
  templ.m_vPosition = position;
  templ.m_vOrientation = VisVector_cl(yaw, 0.0f, 0.0f);
  templ.m_iNation = nation;
  templ.m_sUnitScript = unitScript;
  if (soldierScript) templ.m_sSoldierScriptFile = soldierScript;
  return PushObject(L, GameManager::GetInstance()->CreateUnit(templ));
}

int GameManager_CreateSoldier(lua_State* L) {
  const char* name = CheckString(L, 1, kExpectText);
  const char* soldierScript = CheckString(L, 2, kExpectText);
  const int nation = CheckInt(L, 3);
  const VisVector_cl position = OptVector(L, 4, VisVector_cl(0, 0, 0));
  const float yaw = OptFloat(L, 5, 0.0f);
  const int unitType = OptInt(L, 6, 0);

  UnitEntityTemplate templ;
  templ.m_vPosition = position;
  templ.m_vOrientation = VisVector_cl(yaw, 0.0f, 0.0f);
  templ.m_iNation = nation;
  templ.m_iUnitType = unitType;
  templ.m_iNumSoldiers = 0;
  templ.m_iMaxNumSoldiers = 1;
  templ.m_sSoldierScriptFile = soldierScript;
  GameManager* gm = GameManager::GetInstance();
  UnitEntity* unit = gm->CreateUnit(templ);
  SoldierEntity* soldier = gm->CreateSoldier(unit);
  if (soldier) soldier->SetEntityKey(name);
  if (unit) unit->ResetSoldierPositions();
  return PushObject(L, soldier);
}

int GameManager_SpawnUnitWithSoldiers(lua_State* L) {
  const int unitType = CheckInt(L, 1);
  int remaining = CheckInt(L, 2);
  const int maxSoldiers = CheckInt(L, 3);
  const int nation = CheckInt(L, 4);
  const VisVector_cl spawn = CheckVector(L, 5);

  GameManager* gm = GameManager::GetInstance();
  Player* player = LandPlayer();
  const bool playersNation = player && player->GetPlayerNation() == nation;

  // The hero of the player's character; without a character or record its unit list is empty.
  HeroStats* hero = nullptr;
  VisBaseEntity_cl* playerEntity = gm->GetPlayerEntity();
  if (playerEntity && playerEntity->IsOfType(UnitEntity::GetClassTypeId()))
    hero = static_cast<UnitEntity*>(playerEntity)->GetHeroStats();
  const int heroUnits = hero ? hero->GetUnitRecordCount() : 0;

  // The hero's units of that type take the soldiers first. The walk ends with the
  // last soldier placed, so the unit handed back is the one that took it.
  UnitEntity* lastLookedUp = nullptr;
  if (playersNation) {
    for (int i = 0; i < heroUnits && remaining > 0; ++i) {
      UnitEntity* unit = hero->GetUnitByIndex(i);
      lastLookedUp = unit;
      if (!unit || unit->GetUnitType() != unitType) continue;
      const int free = unit->GetMaxNumSoldiers() - unit->GetNumSoldiers();
      if (free <= 0) continue;
      remaining -= AddSpawnedSoldiers(unit, std::min(free, remaining), spawn);
    }
  }
  if (remaining <= 0) return PushObject(L, lastLookedUp);

  if (playersNation && heroUnits >= HeroStats::MAX_UNITS) return 0;

  UnitEntityTemplate templ;
  templ.m_vPosition = spawn;
  templ.m_iNumSoldiers = remaining;
  templ.m_iMaxNumSoldiers = maxSoldiers;
  templ.m_iNation = nation;
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->InitCharacter(&templ, (unsigned)unitType, false);
  UnitEntity* unit = gm->CreateUnit(templ);
  if (!unit) return PushObject(L, unit);
  unit->SetUniqueID(gm->GetNextUniqueID());
  unit->SetSave(true);
  if (playersNation && hero) session->AddUnitToHero(hero, unit);
  // The unit made its own soldiers from the template's count as it started: those
  // are placed like the rest, and only the ones still missing are added.
  for (SoldierEntity* soldier : std::vector<SoldierEntity*>(unit->GetSoldiers()))
    if (soldier) PlaceSpawnedSoldier(soldier, spawn);
  AddSpawnedSoldiers(unit, remaining - unit->GetNumSoldiers(), spawn);
  return PushObject(L, unit);
}

int GameManager_GetClosestPlayerSoldierFromPosition(lua_State* L) {
  const float range = CheckFloat(L, 1);
  const VisVector_cl position = CheckVector(L, 2);
  SoldierEntity* soldier = ClosestSoldier(range, position, true);
  return soldier ? PushObject(L, soldier) : 0;
}

int GameManager_GetClosestEnemySoldierFromPosition(lua_State* L) {
  const float range = CheckFloat(L, 1);
  const VisVector_cl position = CheckVector(L, 2);
  SoldierEntity* soldier = ClosestSoldier(range, position, false);
  return soldier ? PushObject(L, soldier) : 0;
}
