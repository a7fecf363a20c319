// The application frame the game derives from, with the window and video
// configuration, the video modes of the adapters, and the engine start and stop.
#pragma once

#include "engine/base/VString.h"

#include <vector>

class IVisPhysicsModule_cl;

typedef long (*WNDPROC)(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam);

struct VVideoMode {
  int m_iXRes = 0;
  int m_iYRes = 0;
  int m_iRefreshRate = 60;
  int m_iBitsPerPixel = 32;
};

enum VVIDEO_Multisample { VVIDEO_MULTISAMPLE_OFF = 0, VVIDEO_MULTISAMPLE_2TIMES = 1, VVIDEO_MULTISAMPLE_4TIMES = 2, VVIDEO_MULTISAMPLE_8TIMES = 3 };

struct VWindowConfig {
  WNDPROC m_pWndProc = nullptr;
  int m_iX = 0, m_iY = 0;
  bool m_bBorderless = false;
  int m_iCreationFlags = 0;  // type 1 for full screen
  VString m_sTitle = "Vision Engine";
  void SetWindowProc(WNDPROC proc) { m_pWndProc = proc; }
};

struct VVideoConfig {
  int m_iAdapter = 0;
  bool m_bFullScreen = false;
  int m_iXRes = 1280, m_iYRes = 720;
  int m_iRefreshRate = 60;
  int m_iMultiSample = 0;  // VVIDEO_Multisample
  bool m_bWaitVRetrace = false;
  // Switches of the start flags: 0x2000 sets the first, 0x8000 clears the second, 0x10 sets the third.
  bool m_bTripleBuffer = false;
  bool m_bResetOnFocusLoss = true;
  bool m_bEnableStencil = false;
};

// Adapters and modes. With ENGINE_VIDEO=gl they are the displays SDL reports, primary
// first: each display's desktop mode and its 32-bit modes (smallest first). Headless,
// or when the displays cannot be read (logged), there is one fixed adapter: desktop
// 1920x1080 at 60 Hz and the modes 640x480, 800x600, 1024x768, 1280x720, 1280x1024,
// 1366x768, 1600x900 and 1920x1080, all 60 Hz. Adapter n (from 0) is the monitor
// named "\\.\DISPLAY1", "\\.\DISPLAY2", ...; the desktop is on the first. Tests can
// replace the list.
class VBASE_IMPEXP VVideo {
 public:
  static int GetAdapterCount();
  static bool GetAdapterMode(int adapter, VVideoMode& out);  // the current (desktop) mode
  static int GetAdapterModeCount(int adapter);
  static bool GetAdapterModeAt(int adapter, int i, VVideoMode& out);  // 32-bit modes
  static const char* GetAdapterMonitorName(int adapter);
  static const char* GetDesktopMonitorName();
  // Opaque device handle (never null once the video is initialised).
  static void* GetD3DDevice();
  static bool IsInitialized();
  static int GetCurrentWidth();
  static int GetCurrentHeight();
  static bool IsFullScreen();
  static bool ChangeResolution(int width, int height, bool fullScreen);
  static void* GetWindowHandle();
  static const VVideoConfig& GetCurrentConfig();
  // Tests: replace the adapters (each a list of modes, the first being the desktop mode;
  // modes of other depths than 32 bits stay out of the mode list).
  static void SetFakeAdapters(const std::vector<std::vector<VVideoMode>>& adapters);
  // Tests: back to the adapters of the current ENGINE_VIDEO (read again).
  static void UseDefaultAdapters();
  // True when no window exists (ENGINE_VIDEO=null).
  static bool IsHeadless();
  // ENGINE_VIDEO=gl: the engine start opens a window (VGLDevice).
  static bool WantsWindow();

  // Engine start and stop (VisionApp_cl): the current size becomes the configured one,
  // and 0x0 again afterwards.
  static bool Initialize(const VVideoConfig& config);
  static void DeInitialize();
};

class VBASE_IMPEXP IVisApp_cl {
 public:
  virtual ~IVisApp_cl() = default;
  // Requests the end of the main loop; Run returns false from then on.
  virtual void Quit() { m_bQuit = true; }
  bool WantsToQuit() const { return m_bQuit; }

 protected:
  bool m_bQuit = false;
};

class VBASE_IMPEXP VisionApp_cl : public IVisApp_cl {
 public:
  VisionApp_cl();
  ~VisionApp_cl() override;

  // One engine frame: messages, input, timer, callbacks, physics, render. False once
  // a quit was requested (ENGINE_FRAMES requests it after that many frames).
  virtual bool Run();
  virtual void OnLoadWorldStatus(int status, float percent, const char* message);
  virtual void FetchPhysicsResults();

  // Starts the engine with the configurations below and logs what it was given
  // ("Engine start: ..."). Environment switches read here: ENGINE_VIDEO ("null",
  // the default, or "gl"), ENGINE_TIMESTEP (fixed frame time in seconds),
  // ENGINE_FRAMES (quit after that many frames), ENGINE_INPUT (events replayed by
  // frame, see VInputReplay) and ENGINE_FAIL_INIT=1, which makes the start fail so
  // the caller's failure path can be tested. ENGINE_VIDEO=gl opens the window; the
  // start fails when it cannot.
  bool InitEngine();
  // Fires OnEngineDeInit and OnEngineDeInitLate, empties the world, stops the video and
  // clears the quit request. The destructor does it for a running engine.
  void DeInitEngine();
  bool IsEngineInitialized() const { return m_bEngineInit; }
  // Records the input flags; the devices take them when the engine starts.
  void InitInputDevices(int flags);
  int GetInputFlags() const { return m_iInputFlags; }
  // Frames run by Run (ENGINE_FRAMES counts these) and frames presented on screen.
  unsigned GetFrameCount() const { return m_iFrames; }
  unsigned GetPresentCount() const { return m_iPresented; }
  bool IsRendering() const { return m_bRendering; }

  // Platform events are pumped at the start of every frame through this hook
  // (headless there are none; the input replay installs itself here).
  typedef void (*EventPumpFn)(VisionApp_cl& app);
  static void SetEventPump(EventPumpFn pump);

  VWindowConfig m_windowConfig;
  VVideoConfig m_videoConfig;
  VWindowConfig& GetWindowConfig() { return m_windowConfig; }
  VVideoConfig& GetVideoConfig() { return m_videoConfig; }
  IVisPhysicsModule_cl* GetPhysicsModule() const;

  // Takes the input of the coming frame (window events, replayed events, device
  // polls) without running it: Run does it first; a blocking loop (a video) calls
  // it to read keys between frames.
  void PollInput();

  // Frame pieces for rendering without simulation. RenderScene runs the render
  // hooks; GlobalTick lets the camera follow its entity; UpdateScreen presents.
  // With a window BeginRendering clears the frame and UpdateScreen shows it.
  void BeginRendering();
  void GlobalTick();
  void ActivateMainContext();
  void RenderScene();
  void UpdatePostRender();
  void EndRendering();
  void UpdateScreen();

 protected:
  bool m_bEngineInit = false;
  int m_iInputFlags = 0;
  unsigned m_iFrames = 0;
  unsigned m_iMaxFrames = 0;  // ENGINE_FRAMES; 0 = no limit
  unsigned m_iPresented = 0;
  bool m_bRendering = false;
};

namespace Vision {
VBASE_IMPEXP void SetApplication(VisionApp_cl* app);
VBASE_IMPEXP VisionApp_cl* GetApplication();
// Shuts the engine down (after the plug-ins were unloaded): stops what is still
// running, empties the world, resets the script manager. Safe to call twice.
VBASE_IMPEXP void Shutdown();
// The test scene ENGINE_SCENE names ("<location>:<scene file>", location 1 land or
// 2 sea): true with its parts when set and well formed (a bad value is logged).
VBASE_IMPEXP bool GetStartScene(VString& file, int& location);
}  // namespace Vision

// Window messages the launcher's window procedure handles; the platform layer
// translates its events into them.
enum VWindowMessage_e {
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_SETCURSOR = 0x0020,
  WM_MOUSEMOVE = 0x0200,
};
// The engine's own handling of window messages: a mouse move updates the mouse
// position (lParam: x in the low, y in the high 16 bits), losing the focus releases
// every key. Returns 0.
VBASE_IMPEXP long VisionWndProc(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam);
