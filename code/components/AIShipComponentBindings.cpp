// The "AIShipComponent" script class: modes, targets, towns, the ship's script and
// its removal switches, for the AI of the ship the component sits on.
#include "components/AIShipComponent.h"
#include "core/ComponentMessages.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectComponent = "Expected native object of type AIShipComponent*";
const char* const kExpectText = "Expected const char*";
const char* const kExpectTown = "Expected native object of type TownEntity*";
const char* const kExpectEntity = "Expected native object of type VisBaseEntity_cl*";

AIShipComponent* CheckComponent(lua_State* L) {
  return CheckNativeObject<AIShipComponent>(L, 1, &AIShipComponent_info, kExpectComponent);
}

int SetScript(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  ai->SetScript(CheckString(L, 2, kExpectText));
  return 0;
}

int SetLifeTime(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  ai->SetLifeTime(CheckFloat(L, 2));
  return 0;
}

// An optional nation above -2 becomes the one to attack (-1: any hostile).
int AttackMode(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  const int nation = OptInt(L, 2, -2);
  if (nation > -2) ai->SetAttackTargetNation(nation);
  ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  return 0;
}

int SailingMode(lua_State* L) {
  CheckComponent(L)->SetAIMode(AIShipComponent::AIMODE_SAILING);
  return 0;
}

int IdleMode(lua_State* L) {
  CheckComponent(L)->SetAIMode(AIShipComponent::AIMODE_IDLE);
  return 0;
}

int MakeAttackDecision(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  const float range = CheckFloat(L, 2);
  const int chance = CheckInt(L, 3);
  ai->MakeAttackDecision(range, chance);
  return 0;
}

int IsInIdleMode(lua_State* L) {
  return PushBool(L, CheckComponent(L)->GetAIMode() == AIShipComponent::AIMODE_IDLE);
}

int IsInAttackMode(lua_State* L) {
  return PushBool(L, CheckComponent(L)->GetAIMode() == AIShipComponent::AIMODE_ATTACK);
}

int IsInSailingMode(lua_State* L) {
  return PushBool(L, CheckComponent(L)->GetAIMode() == AIShipComponent::AIMODE_SAILING);
}

// Turns the ship at once to face the point (message 9).
int TurnTo(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  const VisVector_cl point = CheckVector(L, 2);
  float heading = ai->CalculateHeadingTo(point);
  if (VisTypedEngineObject_cl* ship = ai->GetOwner())
    ship->SendMsg(VIS_MSG_USER_SHIP_SETCURRENTHEADING, reinterpret_cast<INT_PTR>(&heading), 0);
  return 0;
}

int EnterTown(lua_State* L) {
  CheckComponent(L)->EnterTown();
  return 0;
}

int SetTargetTown(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  ai->SetTargetTown(CheckNativeObject<TownEntity>(L, 2, &TownEntity_info, kExpectTown));
  return 0;
}

int SetCoward(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  ai->SetCoward(CheckBool(L, 2));
  return 0;
}

int RemoveScript(lua_State* L) {
  CheckComponent(L)->RemoveScript();
  return 0;
}

int GetScript(lua_State* L) { return PushString(L, CheckComponent(L)->GetScript()); }

int CanRemove(lua_State* L) { return PushBool(L, CheckComponent(L)->CanRemove() != 0); }

int SetCanRemove(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  ai->SetCanRemove(CheckBool(L, 2) ? 1 : 0);
  return 0;
}

// The optional flag (default true) lets the path tell the AI before it is laid.
int SetTargetEntity(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  VisBaseEntity_cl* entity = CheckNativeObject<VisBaseEntity_cl>(L, 2, &VisBaseEntity_info, kExpectEntity);
  ai->SetTargetEntity(entity, OptBool(L, 3, true));
  return 0;
}

int SelectTargetShip(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  return PushObject(L, ai->SelectTargetShip(CheckInt(L, 2)));
}

int GetTargetShip(lua_State* L) { return PushObject(L, CheckComponent(L)->GetTargetShip()); }

int SetOnManualPath(lua_State* L) {
  AIShipComponent* ai = CheckComponent(L);
  ai->SetOnManualPath(CheckBool(L, 2));
  return 0;
}

const luaL_Reg AIShipComponent_methods[] = {
    {"SetScript", SetScript},
    {"SetLifeTime", SetLifeTime},
    {"AttackMode", AttackMode},
    {"SailingMode", SailingMode},
    {"IdleMode", IdleMode},
    {"MakeAttackDecision", MakeAttackDecision},
    {"IsInIdleMode", IsInIdleMode},
    {"IsInAttackMode", IsInAttackMode},
    {"IsInSailingMode", IsInSailingMode},
    {"TurnTo", TurnTo},
    {"EnterTown", EnterTown},
    {"SetTargetTown", SetTargetTown},
    {"SetCoward", SetCoward},
    {"RemoveScript", RemoveScript},
    {"GetScript", GetScript},
    {"CanRemove", CanRemove},
    {"SetCanRemove", SetCanRemove},
    {"SetTargetEntity", SetTargetEntity},
    {"SelectTargetShip", SelectTargetShip},
    {"GetTargetShip", GetTargetShip},
    {"SetOnManualPath", SetOnManualPath},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo AIShipComponent_info = {"AIShipComponent", &BaseComponent_info, AIShipComponent_methods};
