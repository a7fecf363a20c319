// The "GameManager" script table: the game script defines nations and weapons
// through it, and scripts query reputation, load further scripts and read the
// enumeration tables. Its functions are grouped as the table is: ships; player,
// heroes and land units; world, nations, scenes and scripts; messages, windows
// and geometry; enumerations.
#include "Managers/SaveGameManager.h"
#include "core/GameManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "core/Weapon.h"
#include "entities/Nation.h"

#include "engine/Vision.h"

#include <string>

using namespace ScriptArgs;

namespace {

const char* const kExpectText = "Expected const char *";
const char* const kExpectFile = "Expected const char*";

// Nation slot i (the script's number); null outside the table or for an empty slot.
Nation* NationAt(int slot) { return slot < 0 ? nullptr : GameManager::GetInstance()->GetNation((unsigned)slot); }

// Ships ----------------------------------------------------------------------------

int AddShipScriptToNation(lua_State* L) {
  int slot = CheckInt(L, 1);
  const char* script = CheckString(L, 2, kExpectText);
  if (Nation* nation = NationAt(slot)) nation->AddShipScript(VString(script));
  return 0;
}

// Nations and weapons -------------------------------------------------------------------

int AddNation(lua_State* L) {
  int id = CheckInt(L, 1);
  const char* name = CheckString(L, 2, kExpectText);
  int type = CheckInt(L, 3);
  Nation* nation = new Nation(id, name);
  nation->SetType(type);
  GameManager::GetInstance()->AddNation(nation);
  return 0;
}

int AddEnemyToNation(lua_State* L) {
  int slot = CheckInt(L, 1);
  int enemy = CheckInt(L, 2);
  if (slot == enemy) return 0;
  Nation* nation = NationAt(slot);
  if (nation && nation->GetNationId() != enemy) nation->AddEnemy(enemy);
  return 0;
}

int GetReputation(lua_State* L) {
  int slot = OptInt(L, 1, 0);
  return PushFloat(L, GameManager::GetInstance()->GetReputation((unsigned)slot));
}

int GetTotalFactionReputation(lua_State* L) {
  return PushFloat(L, GameManager::GetInstance()->GetTotalFactionReputation());
}

int SetMansionAccessible(lua_State* L) {
  int slot = CheckInt(L, 1);
  bool accessible = CheckBool(L, 2);
  if (Nation* nation = NationAt(slot)) nation->SetMansionAccessible(accessible);
  return 0;
}

int GetMansionAccessible(lua_State* L) {
  int slot = CheckInt(L, 1);
  Nation* nation = NationAt(slot);
  return PushBool(L, nation && nation->GetMansionAccessible());
}

// Eleven required arguments; the last two fill their fields in swapped order.
int AddWeapon(lua_State* L) {
  int id = CheckInt(L, 1);
  const char* name = CheckString(L, 2, kExpectText);
  bool firstFlag = CheckBool(L, 3);
  bool secondFlag = CheckBool(L, 4);
  const char* firstText = CheckString(L, 5, kExpectText);
  float value = CheckFloat(L, 6);
  const char* secondText = CheckString(L, 7, kExpectText);
  int firstNumber = CheckInt(L, 8);
  const char* thirdText = CheckString(L, 9, kExpectText);
  int thirdNumber = CheckInt(L, 10);
  int secondNumber = CheckInt(L, 11);

  Weapon weapon;
  weapon.m_iId = id;
  weapon.m_sName = name;
  weapon.m_fCoolDown = value;
  weapon.m_fCoolDownLeft = 0.0f;
  weapon.m_bMelee = firstFlag;
  weapon.m_bAreaEffect = secondFlag;
  weapon.m_sMuzzleEffect = firstText;
  weapon.m_sTrailEffect = secondText;
  weapon.m_iProjectileType = firstNumber;
  weapon.m_sProjectileModel = thirdText;
  weapon.m_iSecondSound = secondNumber;
  weapon.m_iFirstSound = thirdNumber;
  GameManager::GetInstance()->AddWeapon(weapon);
  return 0;
}

// Places --------------------------------------------------------------------------------

int GetPlayerLocation(lua_State* L) { return PushInt(L, GameManager::GetInstance()->GetLocation()); }

// Scenes, campaign and scripts ------------------------------------------------------------

int SetCanTeleport(lua_State* L) {
  bool allowed = CheckBool(L, 1);
  GameManager::GetInstance()->SetCanTeleport(allowed);
  return 0;
}

int RequestAutoSave(lua_State*) {
  SaveGameManagerProto::GetInstance()->RequestAutoSave(true);
  return 0;
}

// Reads the file whole and runs it on the calling state; what the chunk returns is dropped.
void LoadScriptFile(lua_State* L, const char* file) {
  std::string text;
  if (!Vision::File.ReadTextFile(file, text)) {
    Vision::Error.Warning("Script file %s not found", file);
    Vision::Error.AddReportGroupEntry(0, file);
    return;
  }
  int top = lua_gettop(L);
  if (VScriptResourceManager::LuaErrorCheck(L, luaL_loadbuffer(L, text.data(), text.size(), file))) {
    VScriptResourceManager::LuaErrorCheck(L, lua_pcall(L, 0, LUA_MULTRET, 0));
  }
  lua_settop(L, top);
}

int LoadScript(lua_State* L) {
  const char* file = CheckString(L, 1, kExpectFile);
  LoadScriptFile(L, file);
  return 0;
}

int PreCacheFile(lua_State* L) {
  const char* file = CheckString(L, 1, kExpectFile);
  Vision::File.PrecacheFile(file);
  return 0;
}

}  // namespace

const luaL_Reg GameManager_methods[] = {
    // Ships.
    {"CreateShip", GameManager_CreateShip},
    {"CreateRandomShip", GameManager_CreateRandomShip},
    {"CreateRandomShipFromTown", GameManager_CreateRandomShipFromTown},
    {"AddShipScriptToNation", AddShipScriptToNation},
    {"AddShipScriptToTown", GameManager_AddShipScriptToTown},
    {"AddShip", GameManager_AddShip},
    {"ShipsWithinRange", GameManager_ShipsWithinRange},
    {"GetShipLocation", GameManager_GetShipLocation},
    {"UpgradeShipSpeed", GameManager_UpgradeShipSpeed},
    {"UpgradeShipManeuverability", GameManager_UpgradeShipManeuverability},
    {"UpgradeShipCannonDamage", GameManager_UpgradeShipCannonDamage},
    {"UpgradeShipCannonRange", GameManager_UpgradeShipCannonRange},
    {"UpgradeShipCannonLoadingTime", GameManager_UpgradeShipCannonLoadingTime},
    {"UpgradeShipDurability", GameManager_UpgradeShipDurability},
    // Player, heroes and land units.
    {"GetPlayerEntity", GameManager_GetPlayerEntity},
    {"GetPlayerSoldierEntity", GameManager_GetPlayerSoldierEntity},
    {"GetMoney", GameManager_GetMoney},
    {"AddMoney", GameManager_AddMoney},
    {"DecMoney", GameManager_DecMoney},
    {"AddExperienceToPlayer", GameManager_AddExperienceToPlayer},
    {"GetPlayerImage", GameManager_GetPlayerImage},
    {"GetPlayerName", GameManager_GetPlayerName},
    {"GetPlayerImageSet", GameManager_GetPlayerImageSet},
    {"AddHero", GameManager_AddHero},
    {"AddHeroById", GameManager_AddHeroById},
    {"GetHeroCount", GameManager_GetHeroCount},
    {"GetUnitCount", GameManager_GetUnitCount},
    {"GetUnit", GameManager_GetUnit},
    {"GetPlayerUnitCount", GameManager_GetPlayerUnitCount},
    {"GetPlayerUnits", GameManager_GetPlayerUnits},
    {"CreateUnit", GameManager_CreateUnit},
    {"CreateSoldier", GameManager_CreateSoldier},
    {"SpawnUnitWithSoldiers", GameManager_SpawnUnitWithSoldiers},
    {"GetClosestPlayerSoldierFromPosition", GameManager_GetClosestPlayerSoldierFromPosition},
    {"GetClosestEnemySoldierFromPosition", GameManager_GetClosestEnemySoldierFromPosition},
    // Nations and weapons.
    {"AddNation", AddNation},
    {"AddEnemyToNation", AddEnemyToNation},
    {"GetReputation", GetReputation},
    {"GetTotalFactionReputation", GetTotalFactionReputation},
    {"SetMansionAccessible", SetMansionAccessible},
    {"GetMansionAccessible", GetMansionAccessible},
    {"AddWeapon", AddWeapon},
    // Towns, places and collectables.
    {"GetPlayerLocation", GetPlayerLocation},
    {"GetTownName", GameManager_GetTownName},
    {"GetCurrentTownNation", GameManager_GetCurrentTownNation},
    {"GetRandomTown", GameManager_GetRandomTown},
    {"GetNearestTown", GameManager_GetNearestTown},
    {"MansionVisited", GameManager_MansionVisited},
    {"CollectEyepatch", GameManager_CollectEyepatch},
    {"GetPlayerCollectableCountByName", GameManager_GetPlayerCollectableCountByName},
    {"GetRandomCollectable", GameManager_GetRandomCollectable},
    {"DlcMissionPassed", GameManager_DlcMissionPassed},
    // Scenes, teleport, campaign and saving.
    {"SetTeleportTarget", GameManager_SetTeleportTarget},
    {"InstantTeleport", GameManager_InstantTeleport},
    {"SetCanTeleport", SetCanTeleport},
    {"ExitLand", GameManager_ExitLand},
    {"EndCampaign", GameManager_EndCampaign},
    {"RequestAutoSave", RequestAutoSave},
    {"LoadScript", LoadScript},
    {"PreCacheFile", PreCacheFile},
    // World objects and displays.
    {"CreateBird", GameManager_CreateBird},
    {"CreateAnimal", GameManager_CreateAnimal},
    {"SetFOW", GameManager_SetFOW},
    {"SetFOWParameters", GameManager_SetFOWParameters},
    {"SetViewRangeEnabled", GameManager_SetViewRangeEnabled},
    {"AddToRadar", GameManager_AddToRadar},
    {"RemoveFromRadar", GameManager_RemoveFromRadar},
    // Messages, windows and geometry.
    {"ShowMessage", GameManager_ShowMessage},
    {"ShowMessageArg", GameManager_ShowMessageArg},
    {"ShowMessageArgLocalize", GameManager_ShowMessageArgLocalize},
    {"ShowAdditionalMessage", GameManager_ShowAdditionalMessage},
    {"ShowAdditionalMessageArgsLocalize", GameManager_ShowAdditionalMessageArgsLocalize},
    {"ShowWindow", GameManager_ShowWindow},
    {"IsMansionWindowVisible", GameManager_IsMansionWindowVisible},
    {"ShowTutorial", GameManager_ShowTutorial},
    {"PlayVideo", GameManager_PlayVideo},
    {"IsInRange", GameManager_IsInRange},
    {"IsEntityInRange", GameManager_IsEntityInRange},
    {"GetRandomVectorNormalized", GameManager_GetRandomVectorNormalized},
    {"ClampToScreen", GameManager_ClampToScreen},
    {"GetRandomPatrolPath", GameManager_GetRandomPatrolPath},
    {"GetRandomPositionFromPath", GameManager_GetRandomPositionFromPath},
    {"MoveObjectToGroundlevel", GameManager_MoveObjectToGroundlevel},
    // Enumerations.
    {"GetUnitTypes", GameManager_GetUnitTypes},
    {"GetCollectableIds", GameManager_GetCollectableIds},
    {"GetCollectableTypes", GameManager_GetCollectableTypes},
    {"GetProjectileTypes", GameManager_GetProjectileTypes},
    {nullptr, nullptr},
};

void RegisterGameManagerWrapper(lua_State* L) {
  luaL_register(L, "GameManager", GameManager_methods);
  lua_pop(L, 1);
}
