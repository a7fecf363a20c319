// Active artifacts and potions with their cool-down times.
#include "Managers/ArtifactManager.h"

ArtifactManager::~ArtifactManager() = default;
