// Trigger sources and the links between sources and targets.
#include "engine/core/VisTriggerSourceComponent.h"

#include "engine/core/VisTriggerTargetComponent.h"

#include <algorithm>

V_IMPLEMENT_DYNCREATE(VisTriggerSourceComponent_cl, IVObjectComponent)

VisTriggerSourceComponent_cl::VisTriggerSourceComponent_cl(const char* name) {
  if (name) SetComponentName(name);
}

VisTriggerSourceComponent_cl::~VisTriggerSourceComponent_cl() {
  while (!m_targets.empty()) Unlink(this, m_targets.back());
}

bool VisTriggerSourceComponent_cl::Link(VisTriggerSourceComponent_cl* source, VisTriggerTargetComponent_cl* target) {
  if (!source || !target || source->IsLinkedTo(target)) return false;
  source->m_targets.push_back(target);
  target->m_sources.push_back(source);
  return true;
}

bool VisTriggerSourceComponent_cl::Unlink(VisTriggerSourceComponent_cl* source, VisTriggerTargetComponent_cl* target) {
  if (!source || !target) return false;
  auto t = std::find(source->m_targets.begin(), source->m_targets.end(), target);
  if (t == source->m_targets.end()) return false;
  source->m_targets.erase(t);
  auto s = std::find(target->m_sources.begin(), target->m_sources.end(), source);
  if (s != target->m_sources.end()) target->m_sources.erase(s);
  return true;
}

bool VisTriggerSourceComponent_cl::IsLinkedTo(const VisTriggerTargetComponent_cl* target) const {
  return std::find(m_targets.begin(), m_targets.end(), target) != m_targets.end();
}

void VisTriggerSourceComponent_cl::TriggerAllTargets(VisBaseEntity_cl* cause) {
  // A receiver may unlink or delete targets while it handles the message: walk a
  // copy and skip whatever is no longer linked.
  const std::vector<VisTriggerTargetComponent_cl*> targets = m_targets;
  VisBaseEntity_cl* previous = m_pTriggerObject;
  m_pTriggerObject = cause;
  for (VisTriggerTargetComponent_cl* target : targets)
    if (IsLinkedTo(target)) target->OnTrigger(this);
  m_pTriggerObject = previous;
}
