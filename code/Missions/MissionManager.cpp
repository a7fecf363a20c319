// Mission manager.
#include "Missions/MissionManager.h"

#include "engine/base/VisError.h"
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

void MissionManager::StartCampaign() { Vision::Error.SystemMessage("MissionManager::StartCampaign()"); }

void MissionManager::EndCampaign(bool showMainMenu, bool rollCredits) {
  Vision::Error.SystemMessage("MissionManager::EndCampaign(%d, %d)", showMainMenu ? 1 : 0, rollCredits ? 1 : 0);
}
