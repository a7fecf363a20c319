// The physics engine plug-in: installs the physics module when started.
#include "engine/Vision.h"

namespace {
class vPhysXPlugin_cl : public IVisPlugin_cl {
 public:
  void OnPluginStart() override {
    if (!vPhysXModule::GetInstance()) vPhysXModule::SetInstance(&m_module);
  }
  void OnPluginStop() override {
    if (vPhysXModule::GetInstance() == &m_module) vPhysXModule::SetInstance(nullptr);
  }
  const char* GetPluginName() override { return "vPhysX"; }

 private:
  vPhysXModule m_module;
};
vPhysXPlugin_cl g_plugin;
}  // namespace

extern "C" VBASE_IMPEXP IVisPlugin_cl* GetEnginePlugin() { return &g_plugin; }
