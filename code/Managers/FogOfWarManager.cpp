// The fog of war over the land-battle map.
#include "Managers/FogOfWarManager.h"

FogOfWarManager::~FogOfWarManager() = default;
