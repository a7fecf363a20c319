// Engine plug-ins loaded by name from lib<name>.so, and the registered modules.
#include "engine/core/VisPlugins.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <algorithm>
#include <dlfcn.h>

namespace Vision {
VisPluginManager_cl Plugins;
}  // namespace Vision

namespace {

std::vector<VModule*>& Modules() {
  static std::vector<VModule*> modules;
  return modules;
}

std::string DlError() {
  const char* e = dlerror();
  return e ? e : "unknown error";
}

}  // namespace

bool VisPluginManager_cl::LoadEnginePlugin(const char* name) {
  if (!name || !*name) {
    m_lastError = "no plug-in name given";
    Vision::Error.Warning("Engine plug-in: %s", m_lastError.c_str());
    return false;
  }
  if (IsLoaded(name)) return true;

  const std::string dir = m_dir.empty() ? VisionAppHelpers::GetEXEDirectory() : m_dir;
  const std::string path = VPathHelper::CombineDirAndFile(dir.c_str(), ("lib" + std::string(name) + ".so").c_str());

  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    m_lastError = DlError();
    Vision::Error.Warning("Engine plug-in %s could not be opened: %s", name, m_lastError.c_str());
    return false;
  }

  dlerror();
  auto entry = reinterpret_cast<VGetEnginePluginFn>(dlsym(handle, "GetEnginePlugin"));
  if (!entry) {
    const std::string named = "GetEnginePlugin_" + std::string(name);
    entry = reinterpret_cast<VGetEnginePluginFn>(dlsym(handle, named.c_str()));
  }
  IVisPlugin_cl* plugin = entry ? entry() : nullptr;
  if (!plugin) {
    m_lastError = entry ? "GetEnginePlugin returned no plug-in" : DlError();
    Vision::Error.Warning("Engine plug-in %s has no entry: %s", name, m_lastError.c_str());
    dlclose(handle);
    return false;
  }

  // The same library under a second name (a link) is not started twice.
  for (const Loaded& l : m_plugins) {
    if (l.plugin == plugin) {
      m_plugins.push_back({name, plugin});
      return true;
    }
  }

  // Listed before the start, so a plug-in asking for itself is not started again.
  m_plugins.push_back({name, plugin});
  Vision::Error.SystemMessage("Engine plug-in %s loaded", name);
  plugin->OnPluginStart();
  return true;
}

void VisPluginManager_cl::UnloadAllEnginePlugins() {
  // One at a time from the back, so a stop may still ask for the others.
  while (!m_plugins.empty()) {
    Loaded last = m_plugins.back();
    m_plugins.pop_back();
    const bool again = std::any_of(m_plugins.begin(), m_plugins.end(),
                                   [&](const Loaded& l) { return l.plugin == last.plugin; });
    // The libraries stay mapped: the launcher keeps functions of one of them bound.
    if (!again) last.plugin->OnPluginStop();
  }
}

bool VisPluginManager_cl::IsLoaded(const char* name) const {
  if (!name) return false;
  for (const Loaded& l : m_plugins)
    if (l.name == name) return true;
  return false;
}

namespace Vision {

void RegisterModule(VModule* module) {
  if (module && !IsModuleRegistered(module)) Modules().push_back(module);
}

void UnregisterModule(VModule* module) {
  auto& list = Modules();
  list.erase(std::remove(list.begin(), list.end(), module), list.end());
}

bool IsModuleRegistered(const VModule* module) {
  const auto& list = Modules();
  return module && std::find(list.begin(), list.end(), module) != list.end();
}

}  // namespace Vision
