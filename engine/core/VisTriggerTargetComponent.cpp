// Trigger targets.
#include "engine/core/VisTriggerTargetComponent.h"

#include "engine/core/VisTriggerSourceComponent.h"

V_IMPLEMENT_DYNCREATE(VisTriggerTargetComponent_cl, IVObjectComponent)

VisTriggerTargetComponent_cl::VisTriggerTargetComponent_cl(const char* name) {
  if (name) SetComponentName(name);
}

VisTriggerTargetComponent_cl::~VisTriggerTargetComponent_cl() {
  while (!m_sources.empty()) VisTriggerSourceComponent_cl::Unlink(m_sources.back(), this);
}

void VisTriggerTargetComponent_cl::OnTrigger(VisTriggerSourceComponent_cl* source) {
  if (m_pOwner) m_pOwner->SendMsg(VIS_MSG_TRIGGER, (INT_PTR)source, (INT_PTR)this);
}
