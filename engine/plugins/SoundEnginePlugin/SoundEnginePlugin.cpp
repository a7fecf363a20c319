// The sound engine plug-in: starts the sound manager when started.
#include "engine/Vision.h"

namespace {
class SoundEnginePlugin_cl : public IVisPlugin_cl {
 public:
  void OnPluginStart() override { VSoundManager::GlobalManager().SetInitialized(true); }
  void OnPluginStop() override { VSoundManager::GlobalManager().SetInitialized(false); }
  const char* GetPluginName() override { return "SoundEnginePlugin"; }
};
SoundEnginePlugin_cl g_plugin;
}  // namespace

extern "C" VBASE_IMPEXP IVisPlugin_cl* GetEnginePlugin() { return &g_plugin; }
