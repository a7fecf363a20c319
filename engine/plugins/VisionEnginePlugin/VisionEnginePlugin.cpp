// The engine-effects plug-in. Particles and the base script library live in the
// engine itself, so the plug-in only has to be there and to start.
#include "engine/Vision.h"

namespace {
class VisionEnginePlugin_cl : public IVisPlugin_cl {
 public:
  void OnPluginStart() override {}
  void OnPluginStop() override {}
  const char* GetPluginName() override { return "VisionEnginePlugin"; }
};
VisionEnginePlugin_cl g_plugin;
}  // namespace

extern "C" VBASE_IMPEXP IVisPlugin_cl* GetEnginePlugin() { return &g_plugin; }
