// The soldier's link to the scene's escape area: trigger targets of his own, the
// area's sources linked to them, and his place in the area's unit container.
#include "entities/SoldierEntity.h"

#include "components/UnitContainerComponent.h"

#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisTriggerSourceComponent.h"
#include "engine/core/VisTriggerTargetComponent.h"

#include <cstring>

namespace {

const char* const kEscapeAreaKey = "EscapeArea";
const char* const kTriggerNames[2] = {"OnObjectEnter", "OnObjectLeave"};

template <class T>
T* FindNamed(VisTypedEngineObject_cl* object, const char* name) {
  for (int i = 0; i < object->GetComponentCount(); ++i) {
    auto* c = dynamic_cast<T*>(object->GetComponent(i));
    if (c && c->GetComponentName() && std::strcmp(c->GetComponentName(), name) == 0) return c;
  }
  return nullptr;
}

template <class T>
T* FindOrAddNamed(VisTypedEngineObject_cl* object, const char* name) {
  if (T* found = FindNamed<T>(object, name)) return found;
  auto* made = new T(name);
  if (object->AddComponent(made)) return made;
  delete made;
  return nullptr;
}

}  // namespace

void SoldierEntity::LinkToEscapeArea() {
  VisBaseEntity_cl* area = Vision::Game.SearchEntity(kEscapeAreaKey);
  if (!area) return;
  for (const char* name : kTriggerNames)
    VisTriggerSourceComponent_cl::Link(FindOrAddNamed<VisTriggerSourceComponent_cl>(area, name),
                                       FindOrAddNamed<VisTriggerTargetComponent_cl>(this, name));
  if (!m_bObservedByTriggers) {
    TriggerBoxEntity_cl::AddObservedEntity(this);
    m_bObservedByTriggers = true;
  }
}

void SoldierEntity::UnlinkFromEscapeArea() {
  VisBaseEntity_cl* area = Vision::Game.SearchEntity(kEscapeAreaKey);
  if (!area) return;
  for (const char* name : kTriggerNames) {
    auto* target = FindNamed<VisTriggerTargetComponent_cl>(this, name);
    if (!target) continue;
    VisTriggerSourceComponent_cl::Unlink(FindNamed<VisTriggerSourceComponent_cl>(area, name), target);
    // Forgotten: a later link makes new ones.
    target->DisposeObject();
  }
  auto* container = static_cast<UnitContainerComponent*>(area->Components<UnitContainerComponent>());
  if (container && container->RemoveSoldier(this)) {
    TriggerBoxEntity_cl::RemoveObservedEntity(this);
    m_bObservedByTriggers = false;
  }
}

void SoldierEntity::HandleEscapeAreaTrigger(INT_PTR p1, INT_PTR p2) {
  auto* source = reinterpret_cast<VisTriggerSourceComponent_cl*>(p1);
  auto* target = reinterpret_cast<VisTriggerTargetComponent_cl*>(p2);
  if (!source || !target || source->GetTriggerObject() != this || !source->GetOwner()) return;
  auto* container = source->GetOwner()->Components<UnitContainerComponent>();
  const char* name = target->GetComponentName();
  if (!container || !name) return;
  if (std::strcmp(name, kTriggerNames[0]) == 0)
    container->AddSoldier(this);
  else if (std::strcmp(name, kTriggerNames[1]) == 0)
    container->RemoveSoldier(this);
}
