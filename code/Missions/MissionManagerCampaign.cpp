// The campaign's start and end and the downloadable levels: fixed sequences that
// create, reset and delete the campaign's managers in a set order.
#include "Missions/MissionManager.h"

#include "engine/base/VisError.h"

void MissionManager::StartCampaign() { Vision::Error.SystemMessage("MissionManager::StartCampaign()"); }

void MissionManager::AddStartingItems() {}

void MissionManager::EndCampaign(bool showMainMenu, bool rollCredits) {
  Vision::Error.SystemMessage("MissionManager::EndCampaign(%d, %d)", showMainMenu ? 1 : 0, rollCredits ? 1 : 0);
}

void MissionManager::StartDlc(int level) {}

void MissionManager::StartNextDlcMission(int level) {}
