// The "SoldierEntity" script class: the methods soldier scripts drive their soldier
// with, each a thin layer over the soldier, its statistics, its state machine or its
// components, and the searches over all soldiers.
#include "entities/SoldierEntity.h"

#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/State_Attack.h"
#include "entities/FSM/State_Idle.h"
#include "entities/FSM/State_Walk.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"

#include "Managers/ArtifactManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectSoldier = "Expected native object of type SoldierEntity*";
const char* const kExpectEntity = "Expected native object of type BaseEntity*";
const char* const kExpectString = "Expected const char*";
const char* const kExpectPath = "Expected native object of type VisPath_cl*";
// A player hero under this artifact is not seen by enemy searches.
const int kArtifactInvisibility = 33;

SoldierEntity* CheckSoldier(lua_State* L, int idx = 1) {
  return CheckNativeObject<SoldierEntity>(L, idx, &SoldierEntity_info, kExpectSoldier);
}

BaseEntity* CheckEntity(lua_State* L, int idx) {
  return CheckNativeObject<BaseEntity>(L, idx, &BaseEntity_info, kExpectEntity);
}

// ---- searches over all soldiers -----------------------------------------------------------

// The nearest other live soldier that passes the filter; range < 0 means unlimited.
template <class Filter>
int PushClosest(lua_State* L, SoldierEntity* self, float range, Filter filter) {
  float best = range < 0.0f ? 1e24f : range * range;
  SoldierEntity* found = nullptr;
  for (unsigned i = 0; i < SoldierEntity::ElementManagerGetSize(); ++i) {
    SoldierEntity* other = SoldierEntity::ElementManagerGet(i);
    if (!other || other == self || !other->IsAlive() || !filter(other)) continue;
    float d = self->GetPosition().GetDistanceSqr(other->GetPosition());
    if (d < best) {
      best = d;
      found = other;
    }
  }
  if (!found) return 0;
  return PushObject(L, found);
}

// The last other live soldier with stats within range that passes the filter.
template <class Filter>
int PushWeakest(lua_State* L, SoldierEntity* self, float range, Filter filter) {
  const float bound = range * range;
  SoldierEntity* found = nullptr;
  for (unsigned i = 0; i < SoldierEntity::ElementManagerGetSize(); ++i) {
    SoldierEntity* other = SoldierEntity::ElementManagerGet(i);
    if (!other || other == self || !other->IsAlive() || !other->GetStats() || !filter(other)) continue;
    if (self->GetPosition().GetDistanceSqr(other->GetPosition()) < bound) found = other;
  }
  if (!found) return 0;
  return PushObject(L, found);
}

bool HiddenByInvisibility(const SoldierEntity* other) {
  return other->IsPlayerHero() && ArtifactManager::GetInstance()->IsActive(kArtifactInvisibility);
}

int GetClosestSoldier(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushClosest(L, s, OptFloat(L, 2, -1.0f), [](SoldierEntity*) { return true; });
}

int GetClosestSoldierFromNation(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int nation = CheckInt(L, 2);
  return PushClosest(L, s, OptFloat(L, 3, -1.0f), [&](SoldierEntity* o) { return o->GetNation() == nation; });
}

int GetClosestEnemySoldier(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushClosest(L, s, OptFloat(L, 2, -1.0f),
                     [&](SoldierEntity* o) { return s->IsEnemyOf(o) && !HiddenByInvisibility(o); });
}

int GetWeakestEnemySoldier(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushWeakest(L, s, OptFloat(L, 2, 9999999.0f), [&](SoldierEntity* o) {
    return s->IsEnemyOf(o) && o->GetStats()->m_Hitpoints.GetCurrent() < 999999999;
  });
}

int GetWeakestSoldierFromNation(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int nation = CheckInt(L, 2);
  return PushWeakest(L, s, OptFloat(L, 3, 9999999.0f), [&](SoldierEntity* o) {
    const Hitpoints& hp = o->GetStats()->m_Hitpoints;
    return o->GetNation() == nation && hp.GetCurrent() < hp.GetMaximum();
  });
}

int GetClosestSoldierOfName(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  const char* name = CheckString(L, 2, kExpectString);
  VString wanted(name);
  return PushClosest(L, s, OptFloat(L, 3, -1.0f), [&](SoldierEntity* o) { return wanted == o->GetEntityKey(); });
}

// ---- life and allegiance -------------------------------------------------------------------

int FollowPlayer(lua_State* L) {
  CheckSoldier(L)->FollowPlayer();
  return 0;
}

int StopFollowingPlayer(lua_State* L) {
  CheckSoldier(L)->StopFollowingPlayer();
  return 0;
}

int KillSoldier(lua_State* L) {
  CheckSoldier(L)->KillSoldier();
  return 0;
}

int IsAlive(lua_State* L) { return PushBool(L, CheckSoldier(L)->IsAlive()); }

int SetUnKillable(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->SetUnKillable(CheckInt(L, 2) == 1);
  return 0;
}

int SetNation(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->SetNation(CheckInt(L, 2));
  return 0;
}

int IsEnemyMethod(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  SoldierEntity* other = CheckSoldier(L, 2);
  return PushBool(L, s->IsEnemyOf(other));
}

int Delete(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->Delete();
  if (!s->IsMarkedRemoved()) s->Remove();
  return 0;
}

int SetAIScript(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->SetAIScript(CheckString(L, 2, kExpectString));
  return 0;
}

int RemoveAIScript(lua_State* L) {
  CheckSoldier(L)->RemoveAIScript();
  return 0;
}

int IsSelected(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  Player* player = RtsManager::GlobalManager().GetPlayer();
  bool selected = false;
  if (s->GetParentUnit() && player) {
    for (int i = 0; i < player->GetNumSelected(); ++i) selected |= player->GetSelectionAt(i) == s->GetParentUnit();
  }
  return PushBool(L, selected);
}

int AlertUnit(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  BaseEntity* attacker = CheckEntity(L, 2);
  UnitEntity* unit = s->GetParentUnit();
  if (!unit) return 0;
  // A copy: a script may change the unit while it is alerted.
  std::vector<SoldierEntity*> soldiers = unit->GetSoldiers();
  for (SoldierEntity* other : soldiers) {
    if (other == s || !other->IsAlive()) continue;
    IVScriptInstance* script = Vision::GetScriptManager()->GetScriptInstance(other);
    if (script && script->IsValid() && script->HasFunction("OnFriendUnderAttack"))
      script->ExecuteFunctionArg("OnFriendUnderAttack", "*o", (VisTypedEngineObject_cl*)attacker);
  }
  return 0;
}

int GetUnitType(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushInt(L, s->GetParentUnit() ? s->GetParentUnit()->GetUnitType() : 0);
}

int SetUnitType(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int type = CheckInt(L, 2);
  if (s->GetParentUnit()) s->GetParentUnit()->SetUnitType(type);
  return 0;
}

// ---- hit points and combat values -------------------------------------------------------------

int GetHitPoints(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushFloat(L, s->GetStats() ? (float)s->GetStats()->m_Hitpoints.GetCurrent() : 0.0f);
}

int GetHitPointsMax(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushFloat(L, s->GetStats() ? (float)s->GetStats()->m_Hitpoints.GetMaximum() : 0.0f);
}

int SetHitPointsMax(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int value = CheckInt(L, 2);
  if (s->GetStats()) s->GetStats()->m_Hitpoints.SetMaximum(value);
  return 0;
}

int SetHitPoints(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int value = CheckInt(L, 2);
  if (!s->GetStats()) return 0;
  Hitpoints& hp = s->GetStats()->m_Hitpoints;
  hp.SetCurrent(std::min(std::max(value, 0), hp.GetMaximum()));
  return 0;
}

int ResetHitpoints(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  if (s->GetStats() && s->GetStats()->m_Hitpoints.GetMaximum() >= 0) s->ResetHitpoints();
  return 0;
}

int SetArmor(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int armour = CheckInt(L, 2);
  int maximum = OptInt(L, 3, -1);
  if (!s->GetStats() || s->GetStats()->m_Hitpoints.GetMaximum() < 0) return 0;
  s->GetStats()->m_Hitpoints.SetArmor(armour, maximum);
  return 0;
}

int ReduceHitPoints(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int damage = CheckInt(L, 2);
  SoldierEntity* attacker = CheckSoldier(L, 3);
  s->ReduceHitPoints(damage, attacker);
  return 0;
}

// Sets the minimum (or maximum) damages and attack delay; a negative second-set value
// takes the first set's.
template <bool Maximum>
int SetCombatValues(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int melee = CheckInt(L, 2);
  int ranged = CheckInt(L, 3);
  float delay = CheckFloat(L, 4);
  int secondMelee = OptInt(L, 5, -1);
  int secondRanged = OptInt(L, 6, -1);
  if (!s->GetStats()) return 0;
  CombatSkills& c = s->GetStats()->m_CombatSkills;
  if (secondMelee < 0) secondMelee = melee;
  if (secondRanged < 0) secondRanged = ranged;
  if (Maximum) {
    c.m_iMeleeMaxDamage = melee;
    c.m_iRangedMaxDamage = ranged;
    c.m_fAttackIntervalMax = delay;
    c.m_iSecondMeleeMaxDamage = secondMelee;
    c.m_iSecondRangedMaxDamage = secondRanged;
  } else {
    c.m_iMeleeMinDamage = melee;
    c.m_iRangedMinDamage = ranged;
    c.m_fAttackIntervalMin = delay;
    c.m_iSecondMeleeMinDamage = secondMelee;
    c.m_iSecondRangedMinDamage = secondRanged;
  }
  return 0;
}

template <int CombatSkills::*Field>
int SetSkillValue(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int value = OptInt(L, 2, 50);
  if (s->GetStats()) s->GetStats()->m_CombatSkills.*Field = value;
  return 0;
}

int SetViewRange(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  float range = CheckFloat(L, 2);
  if (s->GetStats()) s->GetStats()->m_CombatSkills.m_fViewRange = range;
  return 0;
}

int GetViewRange(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushFloat(L, s->GetStats() ? s->GetStats()->m_CombatSkills.m_fViewRange : 0.0f);
}

int GetAttackDelay(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  if (!s->GetStats()) return PushFloat(L, 0.0f);
  const CombatSkills& c = s->GetStats()->m_CombatSkills;
  const float r = MathTools::RandomFloat();
  return PushFloat(L, c.m_fAttackIntervalMin + r * (c.m_fAttackIntervalMax - c.m_fAttackIntervalMin));
}

int CalculateAttackStrength(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  SoldierEntity* target = CheckSoldier(L, 2);
  return PushInt(L, s->CalculateAttackStrength(target));
}

int Attack(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  BaseEntity* target = CheckEntity(L, 2);
  s->Attack(target, OptInt(L, 3, 0));
  return 0;
}

// ---- weapons -----------------------------------------------------------------------------------

int AddWeapon(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int id = CheckInt(L, 2);
  s->AddWeapon(GameManager::GetInstance()->GetWeapon(id));
  return 0;
}

int GetWeaponCount(lua_State* L) { return PushInt(L, CheckSoldier(L)->GetWeaponCount()); }

int SelectWeapon(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->SelectWeapon(CheckInt(L, 2));
  return 0;
}

// The script's choice picks like the soldier does: a weapon off its cool-down.
int SelectRandomWeapon(lua_State* L) {
  CheckSoldier(L)->SelectRandomWeapon();
  return 0;
}

// ---- states, movement and looks ---------------------------------------------------------------------

int CreateStateMachine(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int type = OptInt(L, 2, -1);
  s->CreateStateMachine(type == -1 ? STATE_IDLE : (StateType)type);
  return 0;
}

int ChangeState(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  int state = CheckInt(L, 2);
  float seconds = OptFloat(L, 3, -999.0f);
  StateMachine<SoldierEntity>* machine = s->GetStateMachine();
  if (!machine) return 0;
  State<SoldierEntity>* next = machine->GetFollowUpState();
  if (state == STATE_IDLE) next = State_Idle::GetInstance();
  if (state == STATE_WALK) next = State_Walk::GetInstance();
  if (state == STATE_ATTACK) next = State_Attack::GetInstance();
  machine->ChangeState(next, seconds);
  return 0;
}

int GetState(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushInt(L, s->GetStateMachine() ? (int)s->GetStateType() : 0);
}

int DisableControls(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  float seconds = OptFloat(L, 2, 1.0f);
  if (s->GetStateMachine()) s->GetStateMachine()->ChangeState(DizzyState::GetInstance(), seconds);
  return 0;
}

int SetSpeed(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->SetSpeed(CheckFloat(L, 2));
  return 0;
}

int GetSpeed(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  if (!s->GetMovementComponent() || !s->GetStats()) return 0;
  return PushFloat(L, s->GetStats()->m_fSpeed);
}

int SetAnimSpeed(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  float speed = OptFloat(L, 2, 1.0f);
  VisAnimConfig_cl* config = s->GetAnimConfig();
  if (VisSkeletalAnimControl_cl* control = config ? config->GetSkeletalAnimControl() : nullptr) control->SetSpeed(speed);
  return 0;
}

int LoadAnimation(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->LoadAnimation(VString(CheckString(L, 2, kExpectString)));
  return 0;
}

int ChangeTexture(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->ChangeTexture(CheckString(L, 2, kExpectString));
  return 0;
}

int TurnTo(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  s->TurnFaceTo(CheckVector(L, 2));
  return 0;
}

int GetEnemyDirection(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushVector(L, s->GetEnemyDirection(OptFloat(L, 2, -1.0f)));
}

int GetFleeDirection(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  return PushVector(L, s->GetFleeDirection(CheckFloat(L, 2)));
}

// ---- paths ------------------------------------------------------------------------------------------

InfantryPathComponent* PathOf(SoldierEntity* s) { return ComponentSetup::TakeOrAdd<InfantryPathComponent>(s); }

int FollowPathName(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  const char* name = CheckString(L, 2, kExpectString);
  if (InfantryPathComponent* path = PathOf(s)) path->FollowPath(name);
  return 0;
}

int FollowPath(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  VisPath_cl* route = CheckNativeObject<VisPath_cl>(L, 2, &VisPath_cl_info, kExpectPath);
  if (InfantryPathComponent* path = PathOf(s)) path->FollowPath(route);
  return 0;
}

int IsFollowingPath(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  InfantryPathComponent* path = s->GetPathComponent();
  return PushBool(L, path && path->IsFollowingPath());
}

int MakePathTo(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  VisVector_cl target = CheckVector(L, 2);
  bool notify = OptBool(L, 3, true);
  if (InfantryPathComponent* path = PathOf(s)) path->MakePathTo(target, notify);
  return 0;
}

int ClearPath(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  if (InfantryPathComponent* path = s->GetPathComponent()) path->ClearPath();
  return 0;
}

int AddWaypoint(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  VisVector_cl point = CheckVector(L, 2);
  bool useNavigation = OptBool(L, 3, false);
  if (InfantryPathComponent* path = PathOf(s)) path->AddWaypoint(point, useNavigation);
  return 0;
}

int FollowNearestPath(lua_State* L) {
  SoldierEntity* s = CheckSoldier(L);
  if (InfantryPathComponent* path = PathOf(s)) path->FollowNearestPath();
  return 0;
}

const luaL_Reg SoldierEntity_methods[] = {
    {"FollowPlayer", FollowPlayer},
    {"StopFollowingPlayer", StopFollowingPlayer},
    {"KillSoldier", KillSoldier},
    {"LoadAnimation", LoadAnimation},
    {"FollowPathName", FollowPathName},
    {"FollowPath", FollowPath},
    {"IsFollowingPath", IsFollowingPath},
    {"ChangeTexture", ChangeTexture},
    {"SetMinCombatValues", SetCombatValues<false>},
    {"SetMaxCombatValues", SetCombatValues<true>},
    {"GetHitPoints", GetHitPoints},
    {"GetHitPointsMax", GetHitPointsMax},
    {"SetHitPointsMax", SetHitPointsMax},
    {"SetHitPoints", SetHitPoints},
    {"ResetHitpoints", ResetHitpoints},
    {"ResetHitPoints", ResetHitpoints},
    {"SetMeleeSkill", SetSkillValue<&CombatSkills::m_iMeleeHitChance>},
    {"SetRangedSkill", SetSkillValue<&CombatSkills::m_iRangedHitChance>},
    {"SetExperienceValue", SetSkillValue<&CombatSkills::m_iExperienceValue>},
    {"SetArmor", SetArmor},
    {"DisableControls", DisableControls},
    {"SetAnimSpeed", SetAnimSpeed},
    {"SetViewRange", SetViewRange},
    {"GetViewRange", GetViewRange},
    {"GetAttackDelay", GetAttackDelay},
    {"CreateStateMachine", CreateStateMachine},
    {"ChangeState", ChangeState},
    {"GetState", GetState},
    {"GetClosestSoldier", GetClosestSoldier},
    {"GetClosestSoldierFromNation", GetClosestSoldierFromNation},
    {"GetClosestEnemySoldier", GetClosestEnemySoldier},
    {"GetWeakestEnemySoldier", GetWeakestEnemySoldier},
    {"GetWeakestSoldierFromNation", GetWeakestSoldierFromNation},
    {"GetClosestSoldierOfName", GetClosestSoldierOfName},
    {"GetEnemyDirection", GetEnemyDirection},
    {"GetFleeDirection", GetFleeDirection},
    {"IsEnemy", IsEnemyMethod},
    {"MakePathTo", MakePathTo},
    {"ClearPath", ClearPath},
    {"AddWaypoint", AddWaypoint},
    {"FollowNearestPath", FollowNearestPath},
    {"CalculateAttackStrength", CalculateAttackStrength},
    {"ReduceHitPoints", ReduceHitPoints},
    {"IsAlive", IsAlive},
    {"Attack", Attack},
    {"AlertUnit", AlertUnit},
    {"TurnTo", TurnTo},
    {"SetAIScript", SetAIScript},
    {"IsSelected", IsSelected},
    {"AddWeapon", AddWeapon},
    {"GetWeaponCount", GetWeaponCount},
    {"SelectWeapon", SelectWeapon},
    {"SelectRandomWeapon", SelectRandomWeapon},
    {"SetSpeed", SetSpeed},
    {"GetSpeed", GetSpeed},
    {"GetUnitType", GetUnitType},
    {"SetUnitType", SetUnitType},
    {"SetUnKillable", SetUnKillable},
    {"RemoveAIScript", RemoveAIScript},
    {"Delete", Delete},
    {"SetNation", SetNation},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo SoldierEntity_info = {"SoldierEntity", &BaseEntity_info, SoldierEntity_methods};
