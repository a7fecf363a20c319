// Birds and other animals of the world map and sea scenes.
#include "Managers/WildLifeManager.h"

WildLifeManager::~WildLifeManager() = default;

void WildLifeManager::OnHandleCallback(IVisCallbackDataObject_cl*) {
  // No animal can exist yet: the animal entities come with the world map and sea scenes.
}
