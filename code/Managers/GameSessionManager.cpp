// The campaign state: the player, heroes, inventory, ships and potions.
#include "Managers/GameSessionManager.h"

GameSessionManager::~GameSessionManager() = default;
