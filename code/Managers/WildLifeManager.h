// Birds and other animals of the world map and sea scenes: created from their
// scripts, kept here and removed when the engine unloads the scene.
#pragma once

#include "engine/base/VCallback.h"
#include "util/Singleton.h"

class WildLifeManager : public Singleton<WildLifeManager>, public IVisCallbackHandler_cl {
 public:
  ~WildLifeManager() override;
  // Engine de-initialisation: the animals go with the scene.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<WildLifeManager>;
  WildLifeManager() = default;
};
