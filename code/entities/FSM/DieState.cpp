// Death: out of the unit, all components gone, a ragdoll (or the "Die" animation)
// pushed backwards.
#include "entities/FSM/DieState.h"

#include "components/CarryComponent.h"
#include "components/RagdollComponent.h"
#include "entities/CollectableEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/core/VisAnimConfig.h"

DieState DieState::s_instance;

DieState::DieState() = default;

void DieState::Enter(SoldierEntity* soldier) {
  if (!soldier->HasMesh()) return;
  if (UnitEntity* unit = soldier->GetParentUnit()) {
    unit->RemoveSoldier(soldier);
    soldier->RemoveEffects();
  }
  soldier->SetParentUnit(nullptr);
  // Loot falls where he stands, glowing again for the next to take.
  if (auto* carry = soldier->Components<CarryComponent>()) {
    if (CollectableEntity* item = carry->GetCarryItem()) {
      item->StartHighlightEffect();
      carry->DropItem();
    }
    carry->DisposeObject();
  }
  soldier->RemoveAllComponents();
  // A model that came in after the soldier's last state change was never animated;
  // the ragdoll reads the bones of its skeleton from an animation configuration.
  if (!soldier->GetAnimConfig()) {
    if (VisAnimConfig_cl* config = VisAnimConfig_cl::CreateSkeletalConfig(soldier->GetMesh())) soldier->SetAnimConfig(config);
  }
  RagdollComponent* ragdoll = ComponentSetup::TakeOrAdd<RagdollComponent>(soldier);
  if (!ragdoll || !ragdoll->IsActive()) soldier->StartAnimation("Die", false, 1.0f + MathTools::RandomFloat(), false);

  // Pushed backwards (the local y axis is the back), and lifted.
  VisVector_cl point = soldier->GetPosition();
  point.x += MathTools::RandomFloat() * 0.5f - 0.25f;
  point.y += MathTools::RandomFloat() * 0.5f - 0.25f;
  point.z += MathTools::RandomFloat() + 0.25f;
  const float strength = MathTools::RandomFloat() * 45.0f + 5.0f;
  const float lift = MathTools::RandomFloat() * 23.0f + 2.0f;
  VisVector_cl push = soldier->GetRotationMatrix().GetColumn(1) * strength;
  push.z += lift;
  push.w = 1.0f;
  if (ragdoll) {
    ragdoll->SetLifeTime(10.0f);
    ragdoll->AddForce(point, push, RagdollComponent::NX_VELOCITY_CHANGE);
  }

  soldier->SetStateType(STATE_DEAD);
  soldier->SetTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
}

void DieState::Execute(SoldierEntity*, float) {}
void DieState::Exit(SoldierEntity*) {}
void DieState::MessageFunction(SoldierEntity*, int, INT_PTR, INT_PTR) {}
