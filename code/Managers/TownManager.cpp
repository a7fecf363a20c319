// The towns of the campaign world and the state of the world around them.
#include "Managers/TownManager.h"

TownManager::~TownManager() = default;
