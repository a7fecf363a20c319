// The game plug-in object: the engine's plug-in manager starts it after loading
// libTidework.so and stops it when all engine plug-ins are unloaded.
#pragma once

#include "engine/core/VisPlugins.h"

class Tidework_cl : public IVisPlugin_cl {
 public:
  void OnPluginStart() override;
  void OnPluginStop() override;
  const char* GetPluginName() override { return "Tidework"; }

  // The game's engine module (version 0x01000100, vendor "Fenwold").
  static VModule& GetModule();
};

extern "C" {
IVisPlugin_cl* GetEnginePlugin();
IVisPlugin_cl* GetEnginePlugin_Tidework();
}
