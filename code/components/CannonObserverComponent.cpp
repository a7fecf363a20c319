// Readiness gauges per cannon group, moved in steps of 1/count by the cannons'
// loading (57) and ready (58) reports.
#include "components/CannonObserverComponent.h"

#include "core/ComponentMessages.h"
#include "entities/ShipEntity.h"

#include <algorithm>

V_IMPLEMENT_DYNCREATE(CannonObserverComponent, IVObjectComponent)

namespace {
float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
}  // namespace

CannonObserverComponent::CannonObserverComponent() : IVObjectComponent(0, 0) {
  m_iCannonCount[CANNON_GROUP_ALL] = m_iCannonCount[CANNON_GROUP_LEFT] + m_iCannonCount[CANNON_GROUP_RIGHT];
}

CannonObserverComponent::~CannonObserverComponent() = default;

int CannonObserverComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}

void CannonObserverComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  if (id != VIS_MSG_USER_CANNON_STATE_READY && id != VIS_MSG_USER_CANNON_STATE_LOADING) return;
  const CannonComponent* cannon = reinterpret_cast<const CannonComponent*>(p1);
  const CannonGroup group = cannon ? cannon->GetCannonGroup() : CANNON_GROUP_ALL;
  if (id == VIS_MSG_USER_CANNON_STATE_READY)
    CannonReady(group);
  else
    CannonLoading(group);
}

void CannonObserverComponent::SetCannonCount(int count, CannonGroup group) {
  if (!IsValidGroup(group)) return;
  m_iCannonCount[group] = count;
  if (group == CANNON_GROUP_LEFT || group == CANNON_GROUP_RIGHT)
    m_iCannonCount[CANNON_GROUP_ALL] = m_iCannonCount[CANNON_GROUP_LEFT] + m_iCannonCount[CANNON_GROUP_RIGHT];
}

int CannonObserverComponent::GetCannonCount(CannonGroup group) const {
  return IsValidGroup(group) ? m_iCannonCount[group] : 0;
}

float CannonObserverComponent::GetCannonGroupState(CannonGroup group) const {
  return IsValidGroup(group) ? m_fGroupState[group] : 0.0f;
}

// A count of 0 makes the step infinite; the clamp turns it into a full gauge.
void CannonObserverComponent::CannonReady(CannonGroup group) {
  if (!IsValidGroup(group)) return;
  m_fGroupState[group] = Clamp01(m_fGroupState[group] + 1.0f / (float)m_iCannonCount[group]);
  if (group == CANNON_GROUP_LEFT || group == CANNON_GROUP_RIGHT)
    m_fGroupState[CANNON_GROUP_ALL] =
        Clamp01(m_fGroupState[CANNON_GROUP_ALL] + 1.0f / (float)m_iCannonCount[CANNON_GROUP_ALL]);
}

void CannonObserverComponent::CannonLoading(CannonGroup group) {
  if (!IsValidGroup(group)) return;
  if (m_fGroupState[group] != 0.0f && m_iCannonCount[group] != 0)
    m_fGroupState[group] = Clamp01(m_fGroupState[group] - 1.0f / (float)m_iCannonCount[group]);
  if (group == CANNON_GROUP_LEFT || group == CANNON_GROUP_RIGHT)
    m_fGroupState[CANNON_GROUP_ALL] =
        Clamp01(m_fGroupState[CANNON_GROUP_ALL] - 1.0f / (float)m_iCannonCount[CANNON_GROUP_ALL]);
}
