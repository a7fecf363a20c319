// Binding of the game plug-in's exports with dlopen/dlsym.
#include "TideworkImports.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <dlfcn.h>

namespace {
bool g_bound = false;

template <class Fn>
bool Lookup(void* library, const char* name, Fn& out) {
  out = reinterpret_cast<Fn>(dlsym(library, name));
  if (!out) Vision::Error.Warning("Tidework export missing: %s", name);
  return out != nullptr;
}
}  // namespace

TideworkImports& TideworkImports::Get() {
  static TideworkImports table;
  return table;
}

bool TideworkImports::Bind(const std::string& libraryPath) {
  void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!library) {
    const char* error = dlerror();
    Vision::Error.Warning("%s", error ? error : libraryPath.c_str());
    return false;
  }
  TideworkImports t;
  bool ok = true;
  ok &= Lookup(library, "Tidework_VisMainApp_GetInstance", t.VisMainApp_GetInstance);
  ok &= Lookup(library, "Tidework_VisMainApp_LoadVisionEnginePlugin", t.VisMainApp_LoadVisionEnginePlugin);
  ok &= Lookup(library, "Tidework_VisMainApp_InitSample", t.VisMainApp_InitSample);
  ok &= Lookup(library, "Tidework_VisMainApp_RenderFrame", t.VisMainApp_RenderFrame);
  ok &= Lookup(library, "Tidework_VisMainApp_DeInitSample", t.VisMainApp_DeInitSample);
  ok &= Lookup(library, "Tidework_VisMainApp_SetFocus", t.VisMainApp_SetFocus);
  ok &= Lookup(library, "Tidework_VisMainApp_LoadStartScene", t.VisMainApp_LoadStartScene);
  ok &= Lookup(library, "Tidework_GUIManager_Init", t.GUIManager_Init);
  ok &= Lookup(library, "Tidework_GUIManager_PlayIntroVideos", t.GUIManager_PlayIntroVideos);
  ok &= Lookup(library, "Tidework_GUIManager_SetLoadingScreen", t.GUIManager_SetLoadingScreen);
  ok &= Lookup(library, "Tidework_GUIManager_ShowLoadingScreen", t.GUIManager_ShowLoadingScreen);
  ok &= Lookup(library, "Tidework_GUIManager_InitLayouts", t.GUIManager_InitLayouts);
  ok &= Lookup(library, "Tidework_GUIManager_ShowFrame", t.GUIManager_ShowFrame);
  ok &= Lookup(library, "Tidework_GUIManager_HideLoadingScreen", t.GUIManager_HideLoadingScreen);
  ok &= Lookup(library, "Tidework_MouseCursorManager_ShowD3DCursor", t.MouseCursorManager_ShowD3DCursor);
  ok &= Lookup(library, "Tidework_MouseCursorManager_SetD3DCursorPosition", t.MouseCursorManager_SetD3DCursorPosition);
  if (!ok) return false;
  Get() = t;
  g_bound = true;
  return true;
}

TideworkImports& TideworkImports::Require() {
  if (!g_bound) {
    const std::string path = VPathHelper::CombineDirAndFile(VisionAppHelpers::GetEXEDirectory().c_str(), "libTidework.so");
    if (!Bind(path)) Vision::Error.FatalError("Could not load Tidework.rEradov(D)");
  }
  return Get();
}
