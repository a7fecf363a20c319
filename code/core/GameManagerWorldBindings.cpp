// The town, scene and world-object functions of the "GameManager" script table:
// asking about towns and the town the player is in, dropped collectables, moving
// between scenes, ending the campaign, placing wildlife and the fog of war.
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SeaScenePath.h"
#include "Managers/TownManager.h"
#include "Managers/WildLifeManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/AnimalEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/TownEntity.h"

#include "engine/Vision.h"

#include <cstring>

using namespace ScriptArgs;

namespace {

const char* const kExpectName = "Expected const char*";
const char* const kDroppedCollectableKey = "Collectable_dropped_by_ship";

TownInfo& CurrentTown() { return TownManager::GetInstance()->GetCurrentTownInfo(); }

}  // namespace

// Towns, places and collectables -------------------------------------------------------

int GameManager_GetTownName(lua_State* L) { return PushString(L, CurrentTown().name.AsChar()); }

int GameManager_GetCurrentTownNation(lua_State* L) { return PushInt(L, CurrentTown().sceneType); }

int GameManager_GetRandomTown(lua_State* L) {
  const int nation = OptInt(L, 1, -1);
  return PushObject(L, TownManager::GetInstance()->GetRandomTown(nation));
}

int GameManager_GetNearestTown(lua_State* L) {
  const VisVector_cl position = CheckVector(L, 1);
  const float range = OptFloat(L, 2, 10000.0f);
  return PushObject(L, TownManager::GetInstance()->GetNearestTown(position, range));
}

int GameManager_MansionVisited(lua_State*) {
  CurrentTown().mansionVisited = true;
  return 0;
}

int GameManager_CollectEyepatch(lua_State* L) {
  const VisVector_cl position = CheckVector(L, 1);
  if (TownEntity* town = CurrentTown().town) GameSessionManager::GetInstance()->AddEyepatchTown(town, position);
  return 0;
}

// Nothing is drawn: the first dropped collectable whose screen name holds the text.
int GameManager_GetRandomCollectable(lua_State* L) {
  const char* text = CheckString(L, 1, kExpectName);
  VisEntityCollection_cl found;
  Vision::Game.SearchEntity(kDroppedCollectableKey, found);
  for (VisBaseEntity_cl* entity : found) {
    if (!entity || !entity->IsOfType(CollectableEntity::GetClassTypeId())) continue;
    const char* screenName = static_cast<CollectableEntity*>(entity)->GetScreenName();
    if (std::strstr(screenName ? screenName : "", text)) return PushObject(L, entity);
  }
  lua_pushnil(L);
  return 1;
}

int GameManager_DlcMissionPassed(lua_State* L) {
  const int level = CheckInt(L, 1);
  SaveGameManagerProto::GetInstance()->DlcLevelPassed(level);
  return 0;
}

// Scenes, teleport and campaign ------------------------------------------------------------

// The game pause is released as the pause manager would: it stays while a window or a
// conversation holds it.
int GameManager_SetTeleportTarget(lua_State* L) {
  const char* target = OptString(L, 1, "");
  GameManager::GetInstance()->SetTeleportTarget(target);
  PauseManager::GetInstance()->SetGamePause(false);
  return 0;
}

int GameManager_InstantTeleport(lua_State* L) {
  const char* target = OptString(L, 1, "");
  GameManager::GetInstance()->Teleport(target);
  return 0;
}

int GameManager_ExitLand(lua_State*) {
  if (GameManager::GetInstance()->GetLocation() != 1) return 0;
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->ExitScene();
  session->LoadScene(kWorldScenePath, 0, 0, VString(), 0, true);
  return 0;
}

int GameManager_EndCampaign(lua_State* L) {
  const float delay = OptFloat(L, 1, -1.0f);
  GameManager::GetInstance()->EndCampaign(delay);
  return 0;
}

// World objects and displays -------------------------------------------------------------

int GameManager_CreateBird(lua_State* L) {
  const char* script = OptString(L, 1, "");
  WildLifeManager::GetInstance()->CreateBird(script);
  return 0;
}

int GameManager_CreateAnimal(lua_State* L) {
  const char* key = CheckString(L, 1, kExpectName);
  const char* script = CheckString(L, 2, kExpectName);
  const VisVector_cl position = CheckVector(L, 3);
  AnimalEntity* animal = WildLifeManager::GetInstance()->CreateBird(script, position);
  if (!animal) return 0;
  animal->SetEntityKey(key);
  return PushObject(L, animal);
}

int GameManager_SetFOW(lua_State* L) {
  const bool enabled = CheckBool(L, 1);
  FogOfWarManager::GetInstance()->SetEnabled(enabled);
  return 0;
}

int GameManager_SetFOWParameters(lua_State* L) {
  const float falloffPower = CheckFloat(L, 1);
  const float visibility = CheckFloat(L, 2);
  FogOfWarManager::GetInstance()->SetParameters(falloffPower, visibility);
  return 0;
}

int GameManager_SetViewRangeEnabled(lua_State* L) {
  const bool enabled = CheckBool(L, 1);
  RtsManager::GlobalManager().SetViewRangeEnabled(enabled);
  return 0;
}
