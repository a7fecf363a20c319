// Trigger volumes.
#include "engine/core/TriggerBoxEntity.h"

#include "engine/base/VarTable.h"
#include "engine/core/VisTriggerSourceComponent.h"

#include <algorithm>
#include <string>

namespace {
void BuildTriggerBoxVars(VARTABLE& t) {
  V_DEFINE_VAR(t, TriggerBoxEntity_cl, m_bSphere, VULPTYPE_BOOL, "Sphere instead of a box", "FALSE", nullptr);
  V_DEFINE_VAR(t, TriggerBoxEntity_cl, m_vHalfExtents, VULPTYPE_VECTOR_FLOAT, "Half extents of the box", "1/1/1", nullptr);
  V_DEFINE_VAR(t, TriggerBoxEntity_cl, m_fRadius, VULPTYPE_FLOAT, "Radius of the sphere", "1", nullptr);
}
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(TriggerBoxEntity_cl, VisBaseEntity_cl, &BuildTriggerBoxVars)

namespace {
// The watched entities (in order for the checks, and as a set for the membership
// tests of big battles) and the boxes. Made once and never freed: entities still in
// the world may leave it while the program's statics are torn down.
struct Registry {
  std::vector<VisBaseEntity_cl*> observed;
  std::unordered_set<const VisBaseEntity_cl*> observedSet;
  std::vector<TriggerBoxEntity_cl*> boxes;
};
Registry& Reg() {
  static Registry* registry = new Registry();
  return *registry;
}
}  // namespace

const std::vector<VisBaseEntity_cl*>& TriggerBoxEntity_cl::GetObservedEntities() { return Reg().observed; }

TriggerBoxEntity_cl::TriggerBoxEntity_cl() { Reg().boxes.push_back(this); }

TriggerBoxEntity_cl::~TriggerBoxEntity_cl() {
  Reg().boxes.erase(std::remove(Reg().boxes.begin(), Reg().boxes.end(), this), Reg().boxes.end());
}

void TriggerBoxEntity_cl::AddObservedEntity(VisBaseEntity_cl* entity) {
  if (entity && Reg().observedSet.insert(entity).second) Reg().observed.push_back(entity);
}

void TriggerBoxEntity_cl::RemoveObservedEntity(VisBaseEntity_cl* entity) {
  if (!entity) return;
  for (TriggerBoxEntity_cl* box : Reg().boxes) box->m_inside.erase(entity);
  Registry& reg = Reg();
  if (reg.observedSet.erase(entity) == 0) return;
  reg.observed.erase(std::find(reg.observed.begin(), reg.observed.end(), entity));
}

bool TriggerBoxEntity_cl::IsObservedEntity(const VisBaseEntity_cl* entity) { return Reg().observedSet.count(entity) != 0; }

void TriggerBoxEntity_cl::NotifyEntityDestroyed(VisBaseEntity_cl* entity) { RemoveObservedEntity(entity); }

bool TriggerBoxEntity_cl::IsEntityInside(const VisBaseEntity_cl* entity) const { return m_inside.count(entity) != 0; }

void TriggerBoxEntity_cl::CheckObservedEntities() {
  // Receivers may change the observed list: walk a copy, skip what left it.
  const std::vector<VisBaseEntity_cl*> observed = Reg().observed;
  for (VisBaseEntity_cl* entity : observed) {
    if (!IsObservedEntity(entity)) continue;
    const bool inside = !entity->IsMarkedRemoved() && IsInside(entity->GetPosition());
    const bool wasInside = IsEntityInside(entity);
    if (inside == wasInside) continue;
    if (inside) {
      m_inside.insert(entity);
      FireSources("OnObjectEnter", entity);
    } else {
      m_inside.erase(entity);
      FireSources("OnObjectLeave", entity);
    }
  }
}

void TriggerBoxEntity_cl::FireSources(const char* name, VisBaseEntity_cl* cause) {
  std::vector<VisTriggerSourceComponent_cl*> sources;
  for (int i = 0; i < GetComponentCount(); ++i) {
    auto* source = dynamic_cast<VisTriggerSourceComponent_cl*>(GetComponent(i));
    if (source && source->GetComponentName() && std::string(source->GetComponentName()) == name) sources.push_back(source);
  }
  for (VisTriggerSourceComponent_cl* source : sources) source->TriggerAllTargets(cause);
}

void TriggerBoxEntity_cl::SetBox(const VisVector_cl& halfExtents) {
  m_bSphere = 0;
  m_vHalfExtents = halfExtents;
}

void TriggerBoxEntity_cl::SetSphere(float radius) {
  m_bSphere = 1;
  m_fRadius = radius;
}

bool TriggerBoxEntity_cl::IsInside(const VisVector_cl& point) const {
  VisVector_cl d = point - GetPosition();
  if (m_bSphere) return d.x * d.x + d.y * d.y + d.z * d.z <= m_fRadius * m_fRadius;
  // Into the box's own frame: the rotation's columns are its axes.
  const VisMatrix3x3_cl& r = GetRotationMatrix();
  for (int axis = 0; axis < 3; ++axis) {
    VisVector_cl c = r.GetColumn(axis);
    float along = d.x * c.x + d.y * c.y + d.z * c.z;
    float half = axis == 0 ? m_vHalfExtents.x : (axis == 1 ? m_vHalfExtents.y : m_vHalfExtents.z);
    if (along > half || along < -half) return false;
  }
  return true;
}
