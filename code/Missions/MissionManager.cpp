// Mission manager: catalogues, ongoing missions and their scene hooks.
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

void MissionManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {}

bool MissionManager::IsMissionOngoing(int id) const {
  for (const MissionData& row : m_ongoing)
    if (row.id == id) return true;
  return false;
}

void MissionManager::AddOngoingStoryMission(const MissionData& row) {}
void MissionManager::InitializeMissions() {}
void MissionManager::LoadStoryMissions() {}
void MissionManager::LoadFactionMissions() {}
void MissionManager::LoadSideQuests() {}
void MissionManager::LoadDlcMissions() {}
void MissionManager::UnloadMissionScripts() {}
void MissionManager::ClearLists(bool withDlc) {}
void MissionManager::EnterScene() {}
void MissionManager::ExitScene() {}
