// Mouse input: the trace collection and the per-frame button state.
#include "core/MouseInputHandler.h"

#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"

MouseInputHandler::MouseInputHandler(Player* player) : m_pPlayer(player) {
  Vision::Callbacks.OnAfterSceneLoaded.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  GameManager::Callbacks.OnEntityCreated.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

MouseInputHandler::~MouseInputHandler() {
  Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityCreated.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void MouseInputHandler::Update() {
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsMouseOverGUI()) return;
  m_iLeftButton = Vision::Mouse.IsLeftButtonPressed() ? 1 : 0;
  m_iRightButton = Vision::Mouse.IsRightButtonPressed() ? 1 : 0;
}

bool MouseInputHandler::CanTrace(VisBaseEntity_cl* entity) {
  return entity && entity->IsOfType(BaseEntity::GetClassTypeId()) && static_cast<BaseEntity*>(entity)->CanTrace();
}

void MouseInputHandler::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  VCallback* sender = data->m_pSender;
  if (sender == &Vision::Callbacks.OnAfterSceneLoaded) {
    for (VisBaseEntity_cl* entity : Vision::Game.GetEntities())
      if (entity && !entity->IsMarkedRemoved() && CanTrace(entity)) m_traceEntities.AppendUnique(entity);
  } else if (sender == &Vision::Callbacks.OnEngineDeInit) {
    m_clickEntityTrace.Clear();
    m_clickGroundTrace.Clear();
    m_traceEntities.Clear();
  } else if (sender == &GameManager::Callbacks.OnEntityCreated) {
    VisBaseEntity_cl* entity = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (CanTrace(entity)) m_traceEntities.AppendUnique(entity);
  } else if (sender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* entity = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (entity) m_traceEntities.Remove(entity);
    // Hits on the destroyed entity must not be read later.
    for (VisTraceLineInfo_t* trace : {&m_clickEntityTrace, &m_hoverEntityTrace})
      if (trace->colliderEntity == entity) trace->Clear();
  }
}

void MouseInputHandler::AddTraceEntity(VisBaseEntity_cl* entity) {
  if (entity) m_traceEntities.Append(entity);
}

void MouseInputHandler::RemoveTraceEntity(VisBaseEntity_cl* entity) {
  if (entity) m_traceEntities.Remove(entity);
}
