// The game's event bus and its relay of the engine's entity destruction.
#include "core/CallbackManager.h"

#include "core/BaseEntity.h"

#include "engine/core/VisCallbacks.h"

CallbackManager::CallbackManager() { Vision::Callbacks.OnObjectDestroyed.RegisterCallback(&m_engineRelay); }

CallbackManager::~CallbackManager() { Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(&m_engineRelay); }

void CallbackManager::EngineEntityRelay::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnObjectDestroyed) return;
  VTypedObject* object = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
  // The world calls this before deleting the entity, so its type can still be asked.
  // Game entities announce themselves from their destructor.
  if (!object || !object->IsOfType(VisBaseEntity_cl::GetClassTypeId()) || object->IsOfType(BaseEntity::GetClassTypeId()))
    return;
  BaseEntityDataObject announce(&m_bus.OnEntityDestroyed, static_cast<VisBaseEntity_cl*>(object));
  m_bus.OnEntityDestroyed.TriggerCallbacks(&announce);
}
