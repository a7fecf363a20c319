// The game plug-in's exports the launcher calls, bound from libTidework.so in the
// program folder when first needed, so that a missing plug-in is reported by the
// launcher itself.
#pragma once

#include "core/TideworkExports.h"

#include <string>

struct TideworkImports {
  decltype(&Tidework_VisMainApp_GetInstance) VisMainApp_GetInstance = nullptr;
  decltype(&Tidework_VisMainApp_LoadVisionEnginePlugin) VisMainApp_LoadVisionEnginePlugin = nullptr;
  decltype(&Tidework_VisMainApp_InitSample) VisMainApp_InitSample = nullptr;
  decltype(&Tidework_VisMainApp_RenderFrame) VisMainApp_RenderFrame = nullptr;
  decltype(&Tidework_VisMainApp_DeInitSample) VisMainApp_DeInitSample = nullptr;
  decltype(&Tidework_VisMainApp_SetFocus) VisMainApp_SetFocus = nullptr;
  decltype(&Tidework_VisMainApp_LoadStartScene) VisMainApp_LoadStartScene = nullptr;
  decltype(&Tidework_GUIManager_Init) GUIManager_Init = nullptr;
  decltype(&Tidework_GUIManager_PlayIntroVideos) GUIManager_PlayIntroVideos = nullptr;
  decltype(&Tidework_GUIManager_SetLoadingScreen) GUIManager_SetLoadingScreen = nullptr;
  decltype(&Tidework_GUIManager_ShowLoadingScreen) GUIManager_ShowLoadingScreen = nullptr;
  decltype(&Tidework_GUIManager_InitLayouts) GUIManager_InitLayouts = nullptr;
  decltype(&Tidework_GUIManager_ShowFrame) GUIManager_ShowFrame = nullptr;
  decltype(&Tidework_GUIManager_HideLoadingScreen) GUIManager_HideLoadingScreen = nullptr;
  decltype(&Tidework_MouseCursorManager_ShowD3DCursor) MouseCursorManager_ShowD3DCursor = nullptr;
  decltype(&Tidework_MouseCursorManager_SetD3DCursorPosition) MouseCursorManager_SetD3DCursorPosition = nullptr;

  // The bound table (empty until Bind succeeded; tests may fill it themselves).
  static TideworkImports& Get();
  // Opens the library (RTLD_NOW | RTLD_GLOBAL, so the engine's later load by name
  // finds the same library) and binds every export; false, with the reason
  // logged, when the library or one export is missing.
  static bool Bind(const std::string& libraryPath);
  // Binds libTidework.so of the program folder once; a failure is the fatal
  // "Could not load Tidework.rEradov(D)".
  static TideworkImports& Require();
};
