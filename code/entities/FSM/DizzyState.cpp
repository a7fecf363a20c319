// Stunned: limp as a ragdoll until the time runs out, then back on its feet.
#include "entities/FSM/DizzyState.h"

#include "components/RagdollComponent.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/State_Idle.h"
#include "entities/SoldierEntity.h"
#include "util/ComponentSetup.h"

#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXCharacterController.h"

DizzyState DizzyState::s_instance;

DizzyState::DizzyState() {
  AddTransition(IdleState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(State_Idle::GetInstance());
}

// (The stars over the head, the dizzy prefab, come with prefabs in the engine.)
void DizzyState::Enter(SoldierEntity* soldier) {
  if (!soldier->HasMesh()) return;
  soldier->SetStateType(STATE_DIZZY);
  soldier->StopOwner();
  if (soldier->Components<RagdollComponent>()) return;
  soldier->DeInitCharacterController();
  ComponentSetup::AddNew<RagdollComponent>(soldier);
}

void DizzyState::Execute(SoldierEntity*, float) {}

void DizzyState::Exit(SoldierEntity* soldier) {
  if (VisParticleEffectFile_cl* file = VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\Recovery.xml"))
    file->CreateParticleEffectInstance(soldier->GetPosition(), VisVector_cl(0, 0, 0));
  if (RagdollComponent* ragdoll = soldier->Components<RagdollComponent>()) ragdoll->DisposeObject();
  soldier->InitCharacterController();
}

void DizzyState::MessageFunction(SoldierEntity*, int, INT_PTR, INT_PTR) {}
