// The plug-in's exports that the launcher binds when it starts: plain C entry
// points for VisMainApp, GUIManager and MouseCursorManager. Run is reached
// through the application's virtual table (VisionApp_cl::Run).
#pragma once

class VisionApp_cl;

extern "C" {
VisionApp_cl* Tidework_VisMainApp_GetInstance();
void Tidework_VisMainApp_LoadVisionEnginePlugin();
bool Tidework_VisMainApp_InitSample(const char* caption, const char* sceneName, int flags, int width,
                                    int height, int inputFlags, int threadCount);
bool Tidework_VisMainApp_RenderFrame();
void Tidework_VisMainApp_DeInitSample();
void Tidework_VisMainApp_SetFocus(bool focus);
// The ENGINE_SCENE test scene instead of the main menu; false when not asked for.
bool Tidework_VisMainApp_LoadStartScene();

bool Tidework_GUIManager_Init(void* device);
void Tidework_GUIManager_PlayIntroVideos();
void Tidework_GUIManager_SetLoadingScreen(const char* imageFile);
bool Tidework_GUIManager_ShowLoadingScreen();
bool Tidework_GUIManager_InitLayouts();
void Tidework_GUIManager_ShowFrame(int windowType);
bool Tidework_GUIManager_HideLoadingScreen(float fadeSpeed, float holdTime);

void Tidework_MouseCursorManager_ShowD3DCursor(bool show);
void Tidework_MouseCursorManager_SetD3DCursorPosition(int x, int y);
}
