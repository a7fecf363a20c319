// The "ShipEntity" script class: the ship's record (hit points, damages, loot and
// shop values), its AI and battle switches, movement factors and configuration.
#include "components/AIShipComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipFXComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Managers/BattleManager.h"

#include "engine/Vision.h"

#include <algorithm>

using namespace ScriptArgs;

namespace {

const char* const kExpectShip = "Expected native object of type ShipEntity*";
const char* const kExpectText = "Expected const char *";
const char* const kExpectBOOL = "Expected BOOL";

ShipEntity* CheckShip(lua_State* L) { return CheckNativeObject<ShipEntity>(L, 1, &ShipEntity_info, kExpectShip); }

AIShipComponent* AIOf(ShipEntity* ship) { return ship->Components<AIShipComponent>(); }

// Methods that write one field of the ship's record: nothing without a record.
template <void (ShipStats::*Set)(int)>
int SetIntStat(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int value = CheckInt(L, 2);
  if (ShipStats* stats = ship->GetStats()) (stats->*Set)(value);
  return 0;
}

template <void (ShipStats::*Set)(float)>
int SetFloatStat(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const float value = CheckFloat(L, 2);
  if (ShipStats* stats = ship->GetStats()) (stats->*Set)(value);
  return 0;
}

// Readers of one field: 0 without a record.
template <int (ShipStats::*Get)() const>
int GetIntStat(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ShipStats* stats = ship->GetStats();
  return PushInt(L, stats ? (stats->*Get)() : 0);
}

int ChangeFlag(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->ChangeFlag(CheckString(L, 2, kExpectText));
  return 0;
}

int ChangeSails(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int surface = CheckInt(L, 2);
  ship->ChangeSails(surface, CheckString(L, 3, kExpectText));
  return 0;
}

int StopTheBattle(lua_State* L) {
  CheckShip(L);
  BattleManager::GetInstance()->EndBattle();
  return 0;
}

int ShipAttack(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int nation = OptInt(L, 2, -2);
  if (AIShipComponent* ai = AIOf(ship)) {
    if (nation > -2) ai->SetAttackTargetNation(nation);
    ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  }
  return 0;
}

int ShipIdle(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  if (AIShipComponent* ai = AIOf(ship)) {
    ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
    ai->SetAttackTargetNation(-1);
  }
  return 0;
}

int StartSailing(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  if (AIShipComponent* ai = AIOf(ship)) {
    ai->SetAIMode(AIShipComponent::AIMODE_SAILING);
    ai->SetOnManualPath(false);
  }
  return 0;
}

int SetBoostTime(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->SetBoostTime(CheckFloat(L, 2));
  return 0;
}

int SetSpeedFactor(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const float factor = CheckFloat(L, 2);
  if (ShipMovementComponent* movement = ship->Components<ShipMovementComponent>()) movement->SetSpeedFactor(factor);
  return 0;
}

int SetTurnFactor(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const float factor = CheckFloat(L, 2);
  if (ShipMovementComponent* movement = ship->Components<ShipMovementComponent>()) movement->SetTurnFactor(factor);
  return 0;
}

int LoadFromConfig(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const char* file = CheckString(L, 2, kExpectText);
  ship->LoadFromConfig(VString(file));
  return 0;
}

// ---- hit points ---------------------------------------------------------------------

int GetHullHitpoints(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  if (ship->IsMarkedRemoved()) return 0;
  ShipStats* stats = ship->GetStats();
  return PushInt(L, stats ? std::max(stats->GetHull().GetCurrent(), 0) : 0);
}

int GetSailsHitpoints(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ShipStats* stats = ship->GetStats();
  return PushInt(L, stats ? stats->GetSails().GetCurrent() : 0);
}

int GetHullHitpointsMax(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ShipStats* stats = ship->GetStats();
  return PushInt(L, stats ? stats->GetHull().GetMaximum() : 0);
}

int SetHullHitpoints(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int value = CheckInt(L, 2);
  if (ShipStats* stats = ship->GetStats()) stats->GetHull().SetCurrent(value);
  ship->SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL, 0, 0);
  return 0;
}

// The maximum, and current hit points no higher than it.
void SetMaximum(Hitpoints& points, int maximum) {
  points.SetMaximum(maximum);
  points.SetCurrent(std::min(points.GetCurrent(), maximum));
}

int SetHullHitpointsMax(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int value = CheckInt(L, 2);
  if (ShipStats* stats = ship->GetStats()) SetMaximum(stats->GetHull(), value);
  return 0;
}

int SetSailsHitpoints(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int value = CheckInt(L, 2);
  if (ShipStats* stats = ship->GetStats()) stats->GetSails().SetCurrent(value);
  return 0;
}

int SetSailsHitpointsMax(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int value = CheckInt(L, 2);
  if (ShipStats* stats = ship->GetStats()) SetMaximum(stats->GetSails(), value);
  return 0;
}

int AddHitpoints(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->AddHitpoints(CheckInt(L, 2));
  return 0;
}

int ResetHitpoints(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->SendMsg(29, 0, 0);
  return 0;
}

int SetArmor(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int armor = CheckInt(L, 2);
  const int maximum = OptInt(L, 3, -1);
  if (ShipStats* stats = ship->GetStats()) stats->GetHull().SetArmor(armor, maximum);
  return 0;
}

int GetBoardingTime(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ShipStats* stats = ship->GetStats();
  return PushFloat(L, stats ? stats->GetBoardingTime() : 0.0f);
}

int SetShipIcon(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const char* icon = CheckString(L, 2, kExpectText);
  if (ShipStats* stats = ship->GetStats()) stats->SetShipIcon(icon);
  return 0;
}

// ---- entity switches ---------------------------------------------------------------------

int GetNation(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  return PushInt(L, ship->GetNation());
}

int SetDoubleCannons(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->SetDoubleCannons(CheckInt(L, 2));
  return 0;
}

int HasDoubleCannons(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  return PushInt(L, ship->HasDoubleCannons());
}

int SetCanRemove(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int can = CheckInt(L, 2);
  if (AIShipComponent* ai = AIOf(ship)) ai->SetCanRemove(can);
  return 0;
}

int CanRemove(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  AIShipComponent* ai = AIOf(ship);
  return PushBool(L, ai && ai->CanRemove());
}

int IsSinking(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ShipBattleComponent* battle = ship->Components<ShipBattleComponent>();
  return PushBool(L, battle && battle->IsSinking());
}

int SetGodMode(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const bool on = CheckBool(L, 2);
  if (ShipBattleComponent* battle = ship->Components<ShipBattleComponent>()) battle->SetGodMode(on);
  return 0;
}

int CanCapture(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ShipStats* stats = ship->GetStats();
  return PushBool(L, stats && stats->CanCapture());
}

int SetCanCapture(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const bool can = CheckBool(L, 2, kExpectBOOL);
  ship->SetCanCapture(can ? 1 : 0);
  return 0;
}

int SetShipNation(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->SetShipNation(CheckInt(L, 2));
  return 0;
}

int SetPlayerControllable(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  ship->SetPlayerControllable(CheckBool(L, 2));
  return 0;
}

// Wreckage at a position with a velocity and scale (each zero when not given).
int ThrowDebris(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const VisVector_cl position = OptVector(L, 2, VisVector_cl(0, 0, 0));
  const VisVector_cl velocity = OptVector(L, 3, VisVector_cl(0, 0, 0));
  const VisVector_cl scale = OptVector(L, 4, VisVector_cl(0, 0, 0));
  if (ShipFXComponent* fx = ship->Components<ShipFXComponent>()) fx->ThrowDebris(position, velocity, scale);
  return 0;
}

// The ship goes at once: no physics, out of the world, and message 17 through the game.
int ForceRemoveShip(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  if (IVObjectComponent* body = ship->GetComponentOfType("vPhysXRigidBody")) body->DisposeObject();
  ship->DeletePhysicsObject();
  if (!ship->IsMarkedRemoved()) ship->Remove();
  Vision::Game.SendMsg(ship, VIS_MSG_USER_SHIP_DIES, (INT_PTR)ship, 0);
  return 0;
}

// Gives the ship's record a special weapon (a projectile type); with select, the
// weapon becomes the one the special cannon fires. Nothing without a record.
int AddSpecialWeapon(lua_State* L) {
  ShipEntity* ship = CheckShip(L);
  const int type = CheckInt(L, 2);
  const bool select = OptBool(L, 3, false);
  ShipStats* stats = ship->GetStats();
  if (!stats) return 0;
  stats->AddSpecialWeapon(type);
  if (select) stats->SetCurrentSpecialWeapon(type);
  return 0;
}

const luaL_Reg ShipEntity_methods[] = {
    {"ChangeFlag", ChangeFlag},
    {"ChangeSails", ChangeSails},
    {"StopTheBattle", StopTheBattle},
    {"ShipAttack", ShipAttack},
    {"ShipIdle", ShipIdle},
    {"SetBoostTime", SetBoostTime},
    {"SetSpeedFactor", SetSpeedFactor},
    {"LoadFromConfig", LoadFromConfig},
    {"GetHullHitpoints", GetHullHitpoints},
    {"GetSailsHitpoints", GetSailsHitpoints},
    {"GetHullHitpointsMax", GetHullHitpointsMax},
    {"SetHullHitpoints", SetHullHitpoints},
    {"SetHullHitpointsMax", SetHullHitpointsMax},
    {"GetExperienceAmount", GetIntStat<&ShipStats::GetExperienceAmount>},
    {"SetExperienceAmount", SetIntStat<&ShipStats::SetExperienceAmount>},
    {"AddHitpoints", AddHitpoints},
    {"ResetHitpoints", ResetHitpoints},
    {"SetSailsHitpoints", SetSailsHitpoints},
    {"SetSailsHitpointsMax", SetSailsHitpointsMax},
    {"SetTurnFactor", SetTurnFactor},
    {"StartSailing", StartSailing},
    {"SetBoardingTime", SetFloatStat<&ShipStats::SetBoardingTime>},
    {"GetBoardingTime", GetBoardingTime},
    {"SetArmor", SetArmor},
    {"SetShipIcon", SetShipIcon},
    {"GetNation", GetNation},
    {"SetDoubleCannons", SetDoubleCannons},
    {"HasDoubleCannons", HasDoubleCannons},
    {"SetCanRemove", SetCanRemove},
    {"CanRemove", CanRemove},
    {"IsSinking", IsSinking},
    {"SetDamageRating", SetFloatStat<&ShipStats::SetDamageRating>},
    {"SetSpeedRating", SetFloatStat<&ShipStats::SetSpeedRating>},
    {"SetManeuveringRating", SetFloatStat<&ShipStats::SetManeuveringRating>},
    {"SetToughnessRating", SetFloatStat<&ShipStats::SetToughnessRating>},
    {"SetLevel", SetIntStat<&ShipStats::SetLevel>},
    {"SetPrice", SetIntStat<&ShipStats::SetPrice>},
    {"SetSellValue", SetIntStat<&ShipStats::SetSellValue>},
    {"ThrowDebris", ThrowDebris},
    {"CanCapture", CanCapture},
    {"SetCanCapture", SetCanCapture},
    {"SetCannonBallDamage", SetFloatStat<&ShipStats::SetCannonBallDamage>},
    {"SetRocketDamage", SetFloatStat<&ShipStats::SetRocketDamage>},
    {"SetMineDamage", SetFloatStat<&ShipStats::SetMineDamage>},
    {"SetMortarDamage", SetFloatStat<&ShipStats::SetMortarDamage>},
    {"SetMirvDamage", SetFloatStat<&ShipStats::SetMirvDamage>},
    {"AddSpecialWeapon", AddSpecialWeapon},
    {"SetMinLootAmount", SetIntStat<&ShipStats::SetMinLootAmount>},
    {"SetMaxLootAmount", SetIntStat<&ShipStats::SetMaxLootAmount>},
    {"GetMinLootAmount", GetIntStat<&ShipStats::GetMinLootAmount>},
    {"GetMaxLootAmount", GetIntStat<&ShipStats::GetMaxLootAmount>},
    {"SetUnlockPrice", SetIntStat<&ShipStats::SetUnlockPrice>},
    {"ForceRemoveShip", ForceRemoveShip},
    {"SetPlayerControllable", SetPlayerControllable},
    {"SetGodMode", SetGodMode},
    {"SetShipNation", SetShipNation},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo ShipEntity_info = {"ShipEntity", &BaseEntity_info, ShipEntity_methods};
