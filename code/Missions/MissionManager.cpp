// Mission manager.
#include "Missions/MissionManager.h"

#include "engine/core/VisCallbacks.h"

namespace {
MissionManager g_MissionManager;
}  // namespace

MissionManager& MissionManager::GlobalManager() { return g_MissionManager; }

void MissionManager::RegisterCallbacks() {
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
}

void MissionManager::DeregisterCallbacks() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
}

// Missions come with a running campaign; without one there is nothing to check.
void MissionManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {}
