// A unit the player never selects.
#include "components/NPCUnitComponent.h"

#include "entities/UnitEntity.h"

#include "engine/base/VarTable.h"

V_IMPLEMENT_DYNCREATE_VARS(NPCUnitComponent, BaseComponent, &NPCUnitComponent::BuildVarList)

void NPCUnitComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, NPCUnitComponent, m_fReactRange, "Range to react from", "2.0");
  VAR_FLOAT(t, NPCUnitComponent, m_fSpeechTime, "How long text shown in seconds if 0.0 npc wont speak at all", "3.0");
}

int NPCUnitComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(UnitEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of UnitEntity or derived classes.";
  return 0;
}
