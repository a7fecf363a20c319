// The ship functions of the "GameManager" script table: creating ships from their
// scripts (given or drawn from a nation's or a town's list), handing ships to the
// player's fleet, asking about ships near a point or kept by the campaign, and
// buying upgrades for the player's ship.
#include "components/AIShipComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "core/GameManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/Nation.h"
#include "entities/TownEntity.h"
#include "entities/ShipEntity.h"
#include "Factories/ShipFactory.h"
#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectText = "Expected const char *";
const char* const kExpectShip = "Expected native object of type ShipEntity*";

VisVector_cl YawOrientation(float yaw) { return VisVector_cl(yaw, 0.0f, 0.0f); }

// The engine object a script passed as a town; null for anything else.
TownEntity* AsTown(VisTypedEngineObject_cl* object) {
  return object && object->IsOfType(TownEntity::GetClassTypeId()) ? static_cast<TownEntity*>(object) : nullptr;
}

// The AI script replaces the script of an AI the ship already has; otherwise a new
// AI gets it before it joins the ship.
void GiveAIScript(ShipEntity* ship, const char* script) {
  ComponentSetup::TakeOrAdd<ShipMovementComponent>(ship);
  ComponentSetup::TakeOrAdd<ShipPathComponent>(ship);
  if (AIShipComponent* ai = ship->Components<AIShipComponent>()) {
    ai->m_sScriptFile = script;
    ai->LoadScript();
    return;
  }
  AIShipComponent* ai = new AIShipComponent();
  ai->Initialize();
  ai->m_sScriptFile = script;
  ai->LoadScript();
  if (!ship->AddComponent(ai)) ai->DisposeObject();
}

}  // namespace

int GameManager_CreateShip(lua_State* L) {
  const char* name = OptString(L, 1, "NoKey");
  const char* script = CheckString(L, 2, kExpectText);
  const VisVector_cl position = OptVector(L, 3, VisVector_cl(0, 0, 0));
  const float yaw = OptFloat(L, 4, 0.0f);
  const int nation = OptInt(L, 5, 0);
  const bool player = OptBool(L, 6, false);
  const char* aiScript = OptString(L, 7, nullptr);

  ShipEntity* ship =
      ShipFactory::GetInstance()->CreateShip(name, script, position, YawOrientation(yaw), nation, 0, player);
  if (ship && aiScript) GiveAIScript(ship, aiScript);
  return PushObject(L, ship);
}

int GameManager_CreateRandomShip(lua_State* L) {
  const char* name = CheckString(L, 1, kExpectText);
  const VisVector_cl position = CheckVector(L, 2);
  const float yaw = CheckFloat(L, 3);
  const int slot = CheckInt(L, 4);
  const bool player = OptBool(L, 5, false);

  Nation* nation = slot < 0 ? nullptr : GameManager::GetInstance()->GetNation((unsigned)slot);
  if (!nation || nation->GetShipScriptCount() == 0) return 0;
  const VString script = nation->GetShipScript(MathTools::RandomInt(nation->GetShipScriptCount()));
  ShipEntity* ship =
      ShipFactory::GetInstance()->CreateShip(name, script.AsChar(), position, YawOrientation(yaw), slot, 0, player);
  return PushObject(L, ship);
}

int GameManager_CreateRandomShipFromTown(lua_State* L) {
  TownEntity* town = AsTown(CheckEngineObject(L, 1));
  const char* name = CheckString(L, 2, kExpectText);
  const VisVector_cl position = CheckVector(L, 3);
  const float yaw = CheckFloat(L, 4);
  const int nation = CheckInt(L, 5);
  const bool player = OptBool(L, 6, false);

  if (!town || town->GetShipScriptCount() == 0) return 0;
  const VString script = town->GetShipScript(MathTools::RandomInt(town->GetShipScriptCount()));
  ShipEntity* ship =
      ShipFactory::GetInstance()->CreateShip(name, script.AsChar(), position, YawOrientation(yaw), nation, 0, player);
  return PushObject(L, ship);
}

int GameManager_AddShipScriptToTown(lua_State* L) {
  TownEntity* town = AsTown(CheckEngineObject(L, 1));
  const char* script = CheckString(L, 2, kExpectText);
  if (town) town->AddShipScript(VString(script));
  return 0;
}

int GameManager_AddShip(lua_State* L) {
  ShipEntity* ship = CheckNativeObject<ShipEntity>(L, 1, &ShipEntity_info, kExpectShip);
  GameSessionManager::GetInstance()->AddShip(ship);
  return 0;
}

int GameManager_ShipsWithinRange(lua_State* L) {
  const VisVector_cl position = CheckVector(L, 1);
  const float range = CheckFloat(L, 2);
  return PushBool(L, BattleManager::GetInstance()->ShipsWithinRange(position, range));
}

int GameManager_GetShipLocation(lua_State* L) {
  const int id = CheckInt(L, 1);
  const VString location = GameSessionManager::GetInstance()->GetShipLocation((int64_t)id);
  return PushString(L, location.AsChar());
}

int GameManager_UpgradeShipSpeed(lua_State* L) {
  const float amount = CheckFloat(L, 1);
  GameManager::GetInstance()->UpgradeShipSpeed(amount);
  return 0;
}

int GameManager_UpgradeShipManeuverability(lua_State* L) {
  const float amount = CheckFloat(L, 1);
  GameManager::GetInstance()->UpgradeShipManeuverability(amount);
  return 0;
}

int GameManager_UpgradeShipCannonDamage(lua_State* L) {
  const float amount = CheckFloat(L, 1);
  GameManager::GetInstance()->UpgradeShipCannonDamage(amount);
  return 0;
}

int GameManager_UpgradeShipCannonRange(lua_State* L) {
  const float amount = CheckFloat(L, 1);
  GameManager::GetInstance()->UpgradeShipCannonRange(amount);
  return 0;
}

int GameManager_UpgradeShipCannonLoadingTime(lua_State* L) {
  const float amount = CheckFloat(L, 1);
  GameManager::GetInstance()->UpgradeShipCannonLoadingTime(amount);
  return 0;
}

int GameManager_UpgradeShipDurability(lua_State* L) {
  const int first = CheckInt(L, 1);
  const int second = CheckInt(L, 2);
  GameManager::GetInstance()->UpgradeShipDurability(first, second);
  return 0;
}
