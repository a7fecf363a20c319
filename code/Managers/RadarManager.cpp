// The sea radar and its markers.
#include "Managers/RadarManager.h"

#include "core/GameManager.h"
#include "engine/core/VisCallbacks.h"

RadarManager::RadarManager() {
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

RadarManager::~RadarManager() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

// Markers and their indicator frames come with the radar display; until then there
// is no indicator to show, update, clear or remove.
void RadarManager::SetAllVisible(bool) {}

void RadarManager::OnHandleCallback(IVisCallbackDataObject_cl*) {}
