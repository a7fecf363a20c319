// The "GameContentManager", "AchievementManager" and "JokeManager" script tables:
// the content script steers NPC ships and places collectables and joke bottles,
// scripts feed achievement progress and draw jokes.
#include "Managers/AchievementManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "core/GameManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/ShipEntity.h"
#include "gui/BaseWindow.h"
#include "gui/GUIManager.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/Vision.h"

#include <CEGUI/String.h>

#include <algorithm>

using namespace ScriptArgs;

namespace {

const char* const kExpectBoolNumber = "Expected BOOL";
const char* const kExpectShip = "Expected native object of type ShipEntity*";
const char* const kExpectScript = "Expected const char *";
const char* const kExpectName = "Expected const char*";

// Achievement for a joke read from a bottle.
constexpr int kBottleJokeAchievement = 43;

// GameManager's land path finder; null before the game's one-time set-up.
Navigation* LandPathFinder() { return GameManager::GetInstance()->GetNavigation(); }

VisVector_cl AccessibleRandomPosition(bool allowNearPlayer) {
  Navigation* navigation = LandPathFinder();
  return navigation ? navigation->GetAccessibleRandomPosition(allowNearPlayer) : VisVector_cl(0, 0, 0);
}

// GameContentManager -------------------------------------------------------------

int SetShipUpdateEnabled(lua_State* L) {
  // A number, zero or not: the script's true and false are refused.
  const int enabled = CheckInt(L, 1, kExpectBoolNumber);
  GameContentManager::GetInstance()->SetShipUpdateEnabled(enabled);
  return 0;
}

int SetShipUpdateInterval(lua_State* L) {
  const float seconds = CheckFloat(L, 1);
  GameContentManager::GetInstance()->SetShipUpdateInterval(seconds);
  return 0;
}

int SetMaxShipCount(lua_State* L) {
  const int count = CheckInt(L, 1);
  GameContentManager::GetInstance()->SetMaxShipCount(count);
  return 0;
}

int SetShipSpawnCount(lua_State* L) {
  const int count = CheckInt(L, 1);
  GameContentManager::GetInstance()->SetShipSpawnCount(count);
  return 0;
}

int AddNPCShip(lua_State* L) {
  ShipEntity* ship = CheckNativeObject<ShipEntity>(L, 1, &ShipEntity_info, kExpectShip);
  GameContentManager::GetInstance()->AddNPCShip(ship);
  return 0;
}

int AddCollectable(lua_State* L) {
  const char* script = CheckString(L, 1, kExpectScript);
  const VisVector_cl position = CheckVector(L, 2);
  CollectableEntityTemplate collectable;
  collectable.m_sCollectableScriptFile = script;
  collectable.m_vPosition = position;
  // A random yaw, drawn over the whole turn.
  collectable.m_vOrientation = VisVector_cl(MathTools::RandomFloat() * 360.0f, 0.0f, 0.0f);
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity(collectable);
  if (!entity) return 0;
  entity->SetTraceAccuracy(VIS_TRACEACC_OBOX);
  return PushObject(L, entity);
}

int AddMessageInABottle(lua_State* L) {
  JokeManager* jokes = JokeManager::GetInstance();
  // With bottle jokes switched off no joke is drawn: a drawn joke counts as read.
  if (jokes->BottleJokesEnabled()) {
    CEGUI::String text;
    jokes->GetRandomJoke(text);
    if (!text.empty()) {
      AchievementManager* achievements = AchievementManager::GetInstance();
      achievements->SetAchievement(kBottleJokeAchievement);
      achievements->CheckAchievements();
      jokes->ShowJokeFrame(text);
    }
  }
  return PushVector(L, AccessibleRandomPosition(false));
}

int GetAccessibleRandomPosition(lua_State* L) {
  const bool allowNearPlayer = OptBool(L, 1, false);
  return PushVector(L, AccessibleRandomPosition(allowNearPlayer));
}

int AdjustPositionToAccessibleArea(lua_State* L) {
  VisVector_cl position = CheckVector(L, 1);
  // Argument 2 (a flag, default true) is accepted and not used.
  Navigation* navigation = LandPathFinder();
  if (!navigation) return PushVector(L, position);
  if (navigation->HasMap()) navigation->AdjustPositionToAccessibleArea(position);
  // Dry land is no place for it: only a point below the water line comes back.
  if (!Vision::World.HasTerrain() || Vision::World.GetHeightAtWorldPos(position.x, position.y) > -1.0f)
    return PushVector(L, VisVector_cl(0, 0, 0));
  return PushVector(L, position);
}

// Up to 100 tries at the radius when it is positive, then one without.
int AddRandom(lua_State* L, bool bottle) {
  const float radius = OptFloat(L, 1, -1.0f);
  GameContentManager* content = GameContentManager::GetInstance();
  CollectableEntity* entity = nullptr;
  for (int i = 0; radius > 0.0f && i < 100 && !entity; ++i) entity = content->AddRandomCollectable(radius, bottle);
  if (!entity) entity = content->AddRandomCollectable(0.0f, bottle);
  if (!entity) return 0;
  return PushObject(L, static_cast<VisBaseEntity_cl*>(entity));
}

int AddRandomCollectable(lua_State* L) { return AddRandom(L, false); }

int AddRandomBottleToSea(lua_State* L) { return AddRandom(L, true); }

int ShowLoadBar(lua_State* L) {
  const float progress = OptFloat(L, 1, -1.0f);
  const char* key = OptString(L, 2, "");
  GUIManager* gui = GUIManager::GetInstance();
  // A campaign's session manager lives from its start to its end.
  if (progress >= 0.0f && GameSessionManager::HasInstance()) {
    gui->ShowMissionLoadBar(std::min(progress, 1.0f), key, true);
  } else if (gui->IsWindowVisible(WT_MISSION_LOAD_BAR)) {
    gui->CloseWindow(WT_MISSION_LOAD_BAR, false);
  }
  return 0;
}

int CloseInventory(lua_State*) {
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsWindowVisible(WT_INVENTORY)) gui->CloseWindow(WT_INVENTORY, false);
  return 0;
}

int OpenMansion(lua_State*) {
  GUIManager* gui = GUIManager::GetInstance();
  if (!gui->GetBaseFrame()) return 0;
  BaseWindow* mansion = gui->GetWindow(WT_PIRATE_MANSION);
  if (mansion && mansion->GetRootWindow()) gui->ShowWindow(mansion, nullptr);
  return 0;
}

// AchievementManager: arguments are never checked; what is missing keeps its default.

int IncValue(lua_State* L) {
  const int id = OptInt(L, 1, -1);
  const float amount = OptFloat(L, 2, 0.0f);
  const bool campaignBound = OptBool(L, 3, true);
  AchievementManager::GetInstance()->IncValue(id, amount, campaignBound);
  return 0;
}

int SetValue(lua_State* L) {
  const int id = OptInt(L, 1, -1);
  const float value = OptFloat(L, 2, 0.0f);
  const bool campaignBound = OptBool(L, 3, true);
  AchievementManager::GetInstance()->SetValue(id, value, campaignBound);
  return 0;
}

int SetAchievement(lua_State* L) {
  AchievementManager::GetInstance()->SetAchievement(OptInt(L, 1, -1));
  return 0;
}

int CheckAchievements(lua_State*) {
  AchievementManager::GetInstance()->CheckAchievements();
  return 0;
}

// JokeManager --------------------------------------------------------------------

int GetRandomJoke(lua_State* L) {
  CEGUI::String text;
  JokeManager::GetInstance()->GetRandomJoke(text);
  if (text.empty()) return 0;
  return PushString(L, text.c_str());
}

}  // namespace

int GameManager_GetPlayerCollectableCountByName(lua_State* L) {
  const char* name = CheckString(L, 1, kExpectName);
  const CollectableEntityTemplate* owned = GameSessionManager::GetInstance()->GetCollectableByName(name);
  return PushInt(L, owned ? owned->m_iCount : 0);
}

const luaL_Reg GameContentManager_methods[] = {
    {"SetShipUpdateEnabled", SetShipUpdateEnabled},
    {"SetShipUpdateInterval", SetShipUpdateInterval},
    {"SetMaxShipCount", SetMaxShipCount},
    {"SetShipSpawnCount", SetShipSpawnCount},
    {"AddNPCShip", AddNPCShip},
    {"AddCollectable", AddCollectable},
    {"AddMessageInABottle", AddMessageInABottle},
    {"GetAccessibleRandomPosition", GetAccessibleRandomPosition},
    {"AdjustPositionToAccessibleArea", AdjustPositionToAccessibleArea},
    {"GetCollectableAmount", GameManager_GetPlayerCollectableCountByName},
    {"AddRandomCollectable", AddRandomCollectable},
    {"AddRandomBottleToSea", AddRandomBottleToSea},
    {"ShowLoadBar", ShowLoadBar},
    {"CloseInventory", CloseInventory},
    {"OpenMansion", OpenMansion},
    {nullptr, nullptr},
};

const luaL_Reg AchievementManager_methods[] = {
    {"IncValue", IncValue},
    {"SetValue", SetValue},
    {"SetAchievement", SetAchievement},
    {"CheckAchievements", CheckAchievements},
    {nullptr, nullptr},
};

const luaL_Reg JokeManager_methods[] = {
    {"GetRandomJoke", GetRandomJoke},
    {nullptr, nullptr},
};

void RegisterJokeManagerWrapper(lua_State* L) {
  luaL_register(L, "JokeManager", JokeManager_methods);
  lua_pop(L, 1);
}

void RegisterAchievementManagerWrapper(lua_State* L) {
  luaL_register(L, "AchievementManager", AchievementManager_methods);
  lua_pop(L, 1);
}
