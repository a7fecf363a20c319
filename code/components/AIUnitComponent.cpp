// The computer's control of a unit.
#include "components/AIUnitComponent.h"

#include "entities/UnitEntity.h"

#include "engine/base/VarTable.h"

V_IMPLEMENT_DYNCREATE_VARS(AIUnitComponent, BaseComponent, &AIUnitComponent::BuildVarList)

void AIUnitComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, AIUnitComponent, m_fAttackRange, "Range to attack from", "10.0");
}

int AIUnitComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(UnitEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of UnitEntity or derived classes.";
  return 0;
}
