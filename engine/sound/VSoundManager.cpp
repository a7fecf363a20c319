#include "engine/sound/VSoundManager.h"

VSoundManager& VSoundManager::GlobalManager() {
  static VSoundManager manager;
  return manager;
}
