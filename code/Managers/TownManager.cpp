// The town manager: world towns, the current town, and the streams that keep the
// world map and the town scenes while the player is away.
#include "Managers/TownManager.h"

#include "Managers/SerializableStream.h"

TownManager::~TownManager() = default;

void TownManager::Initialize() {}
void TownManager::DeInitialize() {}
void TownManager::Reset() {}
void TownManager::LoadTown(const char* sceneFile, int sceneType, const VString& townKey, int maxCollectables) {}
void TownManager::LoadSeaScene(const char* sceneFile, int sceneType, const VString& townKey) {}
void TownManager::ExitTown() {}
void TownManager::SaveWorldState() {}
void TownManager::LoadWorldState() {}
void TownManager::SaveState(const VString& sceneName) {}
void TownManager::LoadState(const VString& sceneName) {}
bool TownManager::SerializeX(VArchive& ar) { return false; }
void TownManager::SetCurrentTown(TownEntity* town) { m_currentTown.town = town; }
void TownManager::SetPlayerShip(ShipStats* stats) {}
SerializableStream* TownManager::FindTownStream(const VString& name) const { return nullptr; }
TownEntity* TownManager::GetRandomTown(int nation) { return nullptr; }
void TownManager::CollectTowns(DynArray_cl<TownEntity*>* out, int nation) const {}
void TownManager::GetTownsWithinRange(const VisVector_cl& pos, float range, DynArray_cl<TownEntity*>* out) const {}
TownEntity* TownManager::GetNearestTown(const VisVector_cl& pos, float range) const { return nullptr; }
StrongholdEntity* TownManager::GetNearestStronghold(const VisVector_cl& pos, bool accessibleOnly) const {
  return nullptr;
}
void TownManager::HideTownEntites() {}
void TownManager::ShowTownEntites() {}
void TownManager::RespawnBuildings() {}
void TownManager::InitBuildings(float timeSinceLastVisit) {}
void TownManager::SpawnRandomCollectables() {}
void TownManager::ResetCurrentTown() {}
