// The volumetric fog of the sea scenes.
#include "Managers/VolumetricFogManager.h"

VolumetricFogManager::~VolumetricFogManager() = default;
