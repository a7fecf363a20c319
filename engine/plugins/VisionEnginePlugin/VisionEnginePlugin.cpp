// The engine-effects plug-in. Its start registers the effects classes and the
// engine's Lua base library (Vector, colours, entity methods, print).
#include "engine/Vision.h"

void RegisterEngineLuaLibrary();

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
