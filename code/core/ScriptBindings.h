// Registration of the game's script tables and wrapper classes with the engine's
// script manager, done once by the plug-in start before the game script runs.
// The function arrays, class records and per-table registration functions live
// in one binding file per table or class; this header names them all.
#pragma once

#include "engine/core/VScriptManager.h"

// Registers the ten global tables and the twenty wrapper classes, in their fixed
// order, on the master state of the engine's script manager.
void RegisterLuaBindings();

// Function arrays of the global tables, each ended by an empty entry.
extern const luaL_Reg SoundManager_methods[];
extern const luaL_Reg GameManager_methods[];
extern const luaL_Reg PauseManager_methods[];
extern const luaL_Reg SpeechManager_methods[];
extern const luaL_Reg GameContentManager_methods[];
extern const luaL_Reg JokeManager_methods[];
extern const luaL_Reg AchievementManager_methods[];
extern const luaL_Reg GameSessionManager_methods[];
extern const luaL_Reg MissionManager_methods[];
extern const luaL_Reg ArtifactManager_methods[];

// Registration of one table on a given state, for other hosts of a Lua state
// (the plug-in's own start registers every table itself).
void RegisterSoundManagerWrapper(lua_State* L);
void RegisterGameManagerWrapper(lua_State* L);
void RegisterPauseManagerWrapper(lua_State* L);
void RegisterSpeechManagerWrapper(lua_State* L);
void RegisterJokeManagerWrapper(lua_State* L);
void RegisterAchievementManagerWrapper(lua_State* L);
void RegisterGameSessionManagerWrapper(lua_State* L);
void RegisterMissionManagerWrapper(lua_State* L);
void RegisterArtifactManagerWrapper(lua_State* L);

// Records of the wrapper classes.
extern NativeClassInfo BaseEntity_info;
extern NativeClassInfo BaseComponent_info;
extern NativeClassInfo UnitEntity_info;
extern NativeClassInfo SoldierEntity_info;
extern NativeClassInfo HeroStats_info;
extern NativeClassInfo ShipEntity_info;
extern NativeClassInfo ShipBattleComponent_info;
extern NativeClassInfo LandBattleCameraComponent_info;
extern NativeClassInfo TownEntity_info;
extern NativeClassInfo BaseMissionProto_info;
extern NativeClassInfo CollectableEntity_info;
extern NativeClassInfo StorageComponentProto_info;
extern NativeClassInfo BuildingBaseEntity_info;
extern NativeClassInfo SpawnerBaseComponent_info;
extern NativeClassInfo ShipPathComponent_info;
extern NativeClassInfo AIShipComponent_info;
extern NativeClassInfo WhaleEntity_info;

// The enumeration functions of the GameManager table; GetProjectileTypes is also
// the method of the same name of the ShipBattleComponent class.
int GameManager_GetProjectileTypes(lua_State* L);
int GameManager_GetUnitTypes(lua_State* L);
int GameManager_GetCollectableIds(lua_State* L);
int GameManager_GetCollectableTypes(lua_State* L);

// The ship functions of the GameManager table.
int GameManager_CreateShip(lua_State* L);
int GameManager_CreateRandomShip(lua_State* L);
int GameManager_AddShip(lua_State* L);
int GameManager_ShipsWithinRange(lua_State* L);
int GameManager_GetShipLocation(lua_State* L);
int GameManager_CreateRandomShipFromTown(lua_State* L);
int GameManager_AddShipScriptToTown(lua_State* L);
int GameManager_UpgradeShipSpeed(lua_State* L);
int GameManager_UpgradeShipManeuverability(lua_State* L);
int GameManager_UpgradeShipCannonDamage(lua_State* L);
int GameManager_UpgradeShipCannonRange(lua_State* L);
int GameManager_UpgradeShipCannonLoadingTime(lua_State* L);
int GameManager_UpgradeShipDurability(lua_State* L);

// The player, hero and land-unit functions of the GameManager table.
int GameManager_GetPlayerEntity(lua_State* L);
int GameManager_GetPlayerSoldierEntity(lua_State* L);
int GameManager_GetMoney(lua_State* L);
int GameManager_AddMoney(lua_State* L);
int GameManager_DecMoney(lua_State* L);
int GameManager_AddExperienceToPlayer(lua_State* L);
int GameManager_GetPlayerImage(lua_State* L);
int GameManager_GetPlayerName(lua_State* L);
int GameManager_GetPlayerImageSet(lua_State* L);
int GameManager_AddHero(lua_State* L);
int GameManager_AddHeroById(lua_State* L);
int GameManager_GetHeroCount(lua_State* L);
int GameManager_GetUnitCount(lua_State* L);
int GameManager_GetUnit(lua_State* L);
int GameManager_GetPlayerUnitCount(lua_State* L);
int GameManager_GetPlayerUnits(lua_State* L);
int GameManager_CreateUnit(lua_State* L);
int GameManager_CreateSoldier(lua_State* L);
int GameManager_SpawnUnitWithSoldiers(lua_State* L);
int GameManager_GetClosestPlayerSoldierFromPosition(lua_State* L);
int GameManager_GetClosestEnemySoldierFromPosition(lua_State* L);

// The town, scene and world-object functions of the GameManager table.
int GameManager_GetTownName(lua_State* L);
int GameManager_GetCurrentTownNation(lua_State* L);
int GameManager_GetRandomTown(lua_State* L);
int GameManager_GetNearestTown(lua_State* L);
int GameManager_MansionVisited(lua_State* L);
int GameManager_CollectEyepatch(lua_State* L);
int GameManager_GetRandomCollectable(lua_State* L);
int GameManager_DlcMissionPassed(lua_State* L);
int GameManager_SetTeleportTarget(lua_State* L);
int GameManager_InstantTeleport(lua_State* L);
int GameManager_ExitLand(lua_State* L);
int GameManager_EndCampaign(lua_State* L);
int GameManager_CreateBird(lua_State* L);
int GameManager_CreateAnimal(lua_State* L);
int GameManager_SetFOW(lua_State* L);
int GameManager_AddToRadar(lua_State* L);
int GameManager_RemoveFromRadar(lua_State* L);
int GameManager_SetFOWParameters(lua_State* L);
int GameManager_SetViewRangeEnabled(lua_State* L);

// The message, window and geometry functions of the GameManager table.
int GameManager_ShowMessage(lua_State* L);
int GameManager_ShowMessageArg(lua_State* L);
int GameManager_ShowMessageArgLocalize(lua_State* L);
int GameManager_ShowAdditionalMessage(lua_State* L);
int GameManager_ShowAdditionalMessageArgsLocalize(lua_State* L);
int GameManager_ShowWindow(lua_State* L);
int GameManager_IsMansionWindowVisible(lua_State* L);
int GameManager_ShowTutorial(lua_State* L);
int GameManager_PlayVideo(lua_State* L);
int GameManager_IsInRange(lua_State* L);
int GameManager_IsEntityInRange(lua_State* L);
int GameManager_GetRandomVectorNormalized(lua_State* L);
int GameManager_ClampToScreen(lua_State* L);
int GameManager_GetRandomPatrolPath(lua_State* L);
int GameManager_GetRandomPositionFromPath(lua_State* L);
int GameManager_MoveObjectToGroundlevel(lua_State* L);
// GameManager.GetPlayerCollectableCountByName, also GameContentManager.GetCollectableAmount.
int GameManager_GetPlayerCollectableCountByName(lua_State* L);
