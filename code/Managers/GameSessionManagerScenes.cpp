// Scene changes of the campaign: loading the world map, a town or land scene or a
// sea scene, and leaving the scene the player is in.
#include "Managers/GameSessionManager.h"

void GameSessionManager::LoadScene(const char* scene, int location, int sceneType, VString name, int townArg,
                                   bool flag) {}

void GameSessionManager::ExitScene() {}

void GameSessionManager::SpawnShips(const std::set<ShipStats*>& ships) {}
