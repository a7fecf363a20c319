// Plain C entry points of the plug-in for the launcher, which binds them at run
// time instead of linking the plug-in.
#include "core/TideworkExports.h"

#include "Managers/MouseCursorManager.h"
#include "core/VisMainApp.h"
#include "gui/GUIManager.h"

VisionApp_cl* Tidework_VisMainApp_GetInstance() { return VisMainApp::GetInstance(); }

void Tidework_VisMainApp_LoadVisionEnginePlugin() { VisMainApp::LoadVisionEnginePlugin(); }

bool Tidework_VisMainApp_InitSample(const char* caption, const char* sceneName, int flags, int width, int height,
                                    int inputFlags, int threadCount) {
  return VisMainApp::GetInstance()->InitSample(caption, sceneName, flags, width, height, inputFlags, threadCount);
}

bool Tidework_VisMainApp_RenderFrame() { return VisMainApp::GetInstance()->RenderFrame(); }

void Tidework_VisMainApp_DeInitSample() { VisMainApp::GetInstance()->DeInitSample(); }

void Tidework_VisMainApp_SetFocus(bool focus) { VisMainApp::GetInstance()->SetFocus(focus); }

bool Tidework_VisMainApp_LoadStartScene() { return VisMainApp::GetInstance()->LoadStartScene(); }

bool Tidework_GUIManager_Init(void* device) { return GUIManager::GetInstance()->Init(device); }

void Tidework_GUIManager_PlayIntroVideos() { GUIManager::GetInstance()->PlayIntroVideos(); }

void Tidework_GUIManager_SetLoadingScreen(const char* imageFile) {
  GUIManager::GetInstance()->SetLoadingScreen(imageFile);
}

bool Tidework_GUIManager_ShowLoadingScreen() { return GUIManager::GetInstance()->ShowLoadingScreen(); }

bool Tidework_GUIManager_InitLayouts() { return GUIManager::GetInstance()->InitLayouts(); }

void Tidework_GUIManager_ShowFrame(int windowType) {
  GUIManager::GetInstance()->ShowFrame(static_cast<WINDOW_TYPES>(windowType));
}

bool Tidework_GUIManager_HideLoadingScreen(float fadeSpeed, float holdTime) {
  return GUIManager::GetInstance()->HideLoadingScreen(fadeSpeed, holdTime);
}

void Tidework_MouseCursorManager_ShowD3DCursor(bool show) { MouseCursorManager::GetInstance()->ShowD3DCursor(show); }

void Tidework_MouseCursorManager_SetD3DCursorPosition(int x, int y) {
  VPoint p;
  p.x = x;
  p.y = y;
  MouseCursorManager::GetInstance()->SetD3DCursorPosition(p);
}
