// GameManager's travel between scenes: the teleport, the town entry of the
// per-frame update, the land-battle start and the ship upgrades.
#include "core/GameManager.h"

#include "engine/base/VisError.h"

void GameManager::Teleport(const char* name) {
  Vision::Error.Warning("GameManager::Teleport(%s): no scene changes yet", name ? name : "");
}

void GameManager::StartLandBattle(const char* scene) {}

bool GameManager::IsPlayerNearAnyTown() { return false; }

void GameManager::UpgradeShipSpeed(float d) {}
void GameManager::UpgradeShipManeuverability(float d) {}
void GameManager::UpgradeShipCannonDamage(float d) {}
void GameManager::UpgradeShipCannonRange(float d) {}
void GameManager::UpgradeShipCannonLoadingTime(float d) {}
void GameManager::UpgradeShipDurability(int hull, int sails) {}
