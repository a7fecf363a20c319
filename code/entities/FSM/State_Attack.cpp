// The script-driven family's attack: the script hears the blows as animation events.
#include "entities/FSM/State_Attack.h"

#include "Managers/NoiseManagerProto.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/State_Idle.h"
#include "entities/FSM/State_Walk.h"
#include "entities/SoldierEntity.h"

#include "engine/core/VScriptManager.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisSkeletalAnimControl.h"

#include <cstring>

State_Attack State_Attack::s_instance;

State_Attack::State_Attack() {
  AddTransition(State_Walk::GetInstance());
  AddTransition(State_Idle::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void State_Attack::Enter(SoldierEntity* soldier) {
  soldier->SetStateType(STATE_ATTACK);
  soldier->SelectRandomWeapon();
  const char* name = soldier->GetSelectedWeapon() % 2 == 1 ? "Attack2" : "Attack1";
  VisSkeletalAnimControl_cl* control = soldier->StartAnimation(name, true, 1.0f, false);
  if (!control) control = soldier->StartAnimation("Attack", true, 1.0f, false);
  if (control) control->AddEventListener(soldier);
  soldier->SendMsg(VIS_MSG_USER_UNIT_REFRESH_ANIMCONFIG);
  soldier->StopOwner();
}

void State_Attack::Execute(SoldierEntity*, float) {}
void State_Attack::Exit(SoldierEntity*) {}

void State_Attack::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR) {
  if (id != VIS_MSG_ANIMATION_EVENT) return;
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetScriptInstance(soldier) : nullptr;
  if (!script || !script->IsValid()) return;
  const char* name = Vision::Animations.GetEventString((int)p1);
  if (!name) return;
  if (!std::strcmp(name, "attack") || !std::strcmp(name, "attack1") || !std::strcmp(name, "attack2")) {
    if (script->HasFunction("OnAttackBegin"))
      script->ExecuteFunctionArg("OnAttackBegin", "*i", std::strcmp(name, "attack2") == 0 ? 1 : 0);
    NoiseManagerProto::GetInstance()->MakeNoise(soldier, 2, 1.0f, 10.0f, NOISE_FALLOFF_LINEAR);
  } else if (!std::strcmp(name, "end")) {
    if (script->HasFunction("OnAfterAttack")) script->ExecuteFunctionArg("OnAfterAttack", "*");
  }
}
