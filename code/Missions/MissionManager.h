// The campaign's missions: one static object, ticked on the per-frame scene
// update and told when the world unloads.
#pragma once

#include "engine/base/VCallback.h"

class MissionManager : public IVisCallbackHandler_cl {
 public:
  static MissionManager& GlobalManager();

  // Registration on the scene update and world unload (plug-in start and stop).
  void RegisterCallbacks();
  void DeregisterCallbacks();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
};
