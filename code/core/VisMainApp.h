// The game's application object over the engine's application frame: start,
// frames, scene loading, debug keys and the help overlay.
#pragma once

#include "util/Singleton.h"

#include "engine/Vision.h"

class VInputMap;

class VisMainApp : public VisionApp_cl, public Singleton<VisMainApp> {
 public:
  ~VisMainApp() override;

  bool InitSample(const char* caption, const char* sceneName, int flags, int width, int height, int inputFlags,
                  int threadCount);
  void DeInitSample();
  bool Run() override;
  void OnLoadWorldStatus(int status, float percent, const char* message) override;
  void FetchPhysicsResults() override;
  bool RenderFrame();
  void RenderOnlyVisuals();

  void LoadScene(const char* name);
  void UnloadScene();
  // The test scene of ENGINE_SCENE instead of the main menu: loads it, sets the
  // location and runs the scene's set-up (the sea camera, or the land battle with
  // its per-frame step). False when the switch is not set (or not well formed).
  bool LoadStartScene();
  static void LoadVisionEnginePlugin();

  bool SetupSampleData(const char* unused = nullptr);
  bool AddSampleDataDir(const char* name);
  bool GetClosestVideoMode(VVideoMode& mode, int width, int height, int refresh);

  void FreeHelpText();
  void AddHelpText(const char* text);
  void SetHelpText(int index, const char* text);
  bool LoadHelpFile(const char* file, bool addDefaults);
  int GetHelpLineCount() const;
  const char* GetHelpLine(int i) const;

  VisBaseEntity_cl* EnableMouseCamera();
  VisBaseEntity_cl* GetMouseCamera() const { return m_pMouseCamera; }
  void SetupLoadingScreen(bool on, const char* image, float fadeTime);

  bool HasFocus() const { return m_bHasFocus; }
  void SetFocus(bool focus) { m_bHasFocus = focus; }
  bool IsPaused() const { return m_bPaused; }
  void SetPause(bool pause) { m_bPaused = pause; }
  void TogglePause() { m_bPaused = !m_bPaused; }
  bool IsJustRendering() const { return m_bJustRendering; }
  bool IsInitialized() const { return m_bInitialized; }
  int GetStartFlags() const { return m_iStartFlags; }
  int GetSceneLoadState() const { return m_iSceneLoadState; }
  // The application's input map (92 controls, 20 alternatives); null outside InitSample..DeInitSample.
  static VInputMap* GetInputMap();

  float GetFPS() const { return m_fFPS; }
  bool IsShowingFPS() const { return m_bShowFPS; }
  bool IsShowingHelp() const { return m_bShowHelp; }
  bool IsTripleWide() const { return m_bTripleWide; }
  // The debug render cycle: 0, 1, 2, 4, ..., 0x80000, 0; and the name shown for a flag word.
  static unsigned NextDebugRenderFlags(unsigned flags);
  static const char* GetDebugRenderFlagName(unsigned flags);

 private:
  friend class Singleton<VisMainApp>;
  VisMainApp();
  void HandleDebugKeys();
  // The screenshot key (F8): the last presented frame to a file.
  void HandleScreenshotKey();
  void CountFrame();
  void PrintOverlay();
  int QuerySceneLoadState();

  bool m_bShowFPS = false;
  bool m_bShowHelp = false;
  bool m_bPaused = false;
  std::string m_sStartFolder;
  VisBaseEntity_cl* m_pMouseCamera = nullptr;
  // Forgets the mouse camera when it is destroyed (a world unload), so that the next
  // EnableMouseCamera makes a new one.
  class MouseCameraWatch : public IVisCallbackHandler_cl {
   public:
    explicit MouseCameraWatch(VisMainApp& app) : m_app(app) {}
    void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

   private:
    VisMainApp& m_app;
  };
  MouseCameraWatch m_mouseCameraWatch{*this};
  int m_iHelpX = 9, m_iHelpY = 16;
  VPList<VString> m_helpLines;
  float m_fFPSTime = 0.0f;
  float m_fFPS = 0.0f;
  VSceneLoader m_sceneLoader;
  int m_iSceneLoadState = 0;
  bool m_bLoadingScreen = false;
  VString m_sLoadingImage;
  float m_fLoadingFadeTime = 1.0f;
  int m_iFrameCounter = 0;
  int m_iFPSTextX = 10;
  bool m_bTripleWide = false;
  bool m_bInitialized = false;
  bool m_bHasFocus = true;
  bool m_bJustRendering = false;
  int m_iStartFlags = 0;

  static VInputMap* s_pInputMap;
};
