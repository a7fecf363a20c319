// Engine plug-ins (lib<name>.so in the program folder) and module registration.
#pragma once

#include "engine/base/VBase.h"

#include <string>
#include <vector>

class VBASE_IMPEXP IVisPlugin_cl {
 public:
  virtual ~IVisPlugin_cl() = default;
  virtual void OnPluginStart() = 0;
  virtual void OnPluginStop() = 0;
  virtual const char* GetPluginName() = 0;
};

// Exported C entry of every plug-in library: extern "C" IVisPlugin_cl* GetEnginePlugin();
typedef IVisPlugin_cl* (*VGetEnginePluginFn)();

class VBASE_IMPEXP VisPluginManager_cl {
 public:
  // Opens lib<name>.so from the program folder (dlopen, RTLD_NOW | RTLD_GLOBAL), calls
  // its GetEnginePlugin (else GetEnginePlugin_<name>) and then OnPluginStart. A plug-in
  // loaded before is not started again. False on failure, with the loader's text as a
  // warning and in GetLastError; the caller reports its own fatal message.
  bool LoadEnginePlugin(const char* name);
  // Calls every OnPluginStop in reverse load order (the libraries stay mapped).
  void UnloadAllEnginePlugins();
  bool IsLoaded(const char* name) const;
  int GetPluginCount() const { return (int)m_plugins.size(); }
  // Folder the libraries are taken from (the program folder by default).
  void SetPluginDirectory(const char* dir) { m_dir = dir ? dir : ""; }
  const char* GetLastError() const { return m_lastError.c_str(); }

 private:
  // The libraries stay mapped for the whole run, so their handles are not kept.
  struct Loaded { std::string name; IVisPlugin_cl* plugin; };
  std::vector<Loaded> m_plugins;
  std::string m_dir;
  std::string m_lastError;
};

struct VModule {
  unsigned m_iVersion = 0;
  const char* m_szName = "";
  const char* m_szVendor = "";
  const char* m_szDescription = "";
  IVisPlugin_cl* m_pPlugin = nullptr;
};

namespace Vision {
VBASE_IMPEXP void RegisterModule(VModule* module);
VBASE_IMPEXP void UnregisterModule(VModule* module);
VBASE_IMPEXP bool IsModuleRegistered(const VModule* module);
}  // namespace Vision

namespace Vision {
VBASE_IMPEXP extern VisPluginManager_cl Plugins;
}  // namespace Vision
