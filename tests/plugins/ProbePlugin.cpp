// A test engine plug-in that logs its start and stop. Built several times with
// different names and entries (PROBE_NAME, PROBE_ENTRY: 0 none, 1 GetEnginePlugin,
// 2 only GetEnginePlugin_<name>).
#include "engine/Vision.h"

namespace {
class ProbePlugin : public IVisPlugin_cl {
 public:
  void OnPluginStart() override { Vision::Error.SystemMessage("probe %s: start", PROBE_NAME); }
  void OnPluginStop() override { Vision::Error.SystemMessage("probe %s: stop", PROBE_NAME); }
  const char* GetPluginName() override { return PROBE_NAME; }
};
ProbePlugin g_plugin;
}  // namespace

#if PROBE_ENTRY == 1
extern "C" VBASE_IMPEXP IVisPlugin_cl* GetEnginePlugin() { return &g_plugin; }
#elif PROBE_ENTRY == 2
#define PROBE_JOIN2(a, b) a##b
#define PROBE_JOIN(a, b) PROBE_JOIN2(a, b)
extern "C" VBASE_IMPEXP IVisPlugin_cl* PROBE_JOIN(GetEnginePlugin_, PROBE_SYMBOL)() { return &g_plugin; }
#else
extern "C" VBASE_IMPEXP int NotAnEngineEntry() { return 0; }
#endif
