// The application frame: engine start and stop, and one engine frame per Run.
#include "engine/core/VisionApp.h"

#include "engine/base/VisError.h"
#include "engine/base/VisInput.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VInputReplay.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisPlugins.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisWorld.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VShaderLibrary.h"
#include "engine/render/VSDLEventPump.h"
#include "engine/render/VisRenderer.h"
#include "engine/render/VisScreenMask.h"
#include "engine/render/VisWorldRenderer.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

VisionApp_cl* g_app = nullptr;
VisionApp_cl::EventPumpFn g_eventPump = nullptr;
VInputReplay g_replay;

const char* Env(const char* name) {
  const char* v = std::getenv(name);
  return (v && *v) ? v : nullptr;
}

// ENGINE_FRAMES: a positive whole number, else no limit.
unsigned ReadFrameLimit() {
  const char* v = Env("ENGINE_FRAMES");
  if (!v) return 0;
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(v, &end, 10);
  if (errno != 0 || *end != '\0' || n <= 0 || n > 0x7fffffffLL) {
    Vision::Error.Warning("ENGINE_FRAMES=%s is not a positive number: ignored", v);
    return 0;
  }
  return (unsigned)n;
}

// ENGINE_TIMESTEP: a positive frame time in seconds; 0 when unset or invalid.
float ReadTimeStep() {
  const char* v = Env("ENGINE_TIMESTEP");
  if (!v) return 0.0f;
  char* end = nullptr;
  errno = 0;
  double dt = std::strtod(v, &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(dt) || dt <= 0.0) {
    Vision::Error.Warning("ENGINE_TIMESTEP=%s is not a positive number of seconds: ignored", v);
    return 0.0f;
  }
  return (float)dt;
}

}  // namespace

VisionApp_cl::VisionApp_cl() = default;

VisionApp_cl::~VisionApp_cl() {
  if (m_bEngineInit) DeInitEngine();
  // The engine must not keep a pointer to a destroyed application.
  if (g_app == this) g_app = nullptr;
}

void VisionApp_cl::SetEventPump(EventPumpFn pump) { g_eventPump = pump; }

void VisionApp_cl::InitInputDevices(int flags) {
  m_iInputFlags = flags;
  if (m_bEngineInit) Vision::Mouse.SetInputFlags(flags);
}

IVisPhysicsModule_cl* VisionApp_cl::GetPhysicsModule() const { return vPhysXModule::GetInstance(); }

bool VisionApp_cl::InitEngine() {
  if (m_bEngineInit) return true;

  // Handlers may adjust the configuration before the device starts (vertical sync).
  VisVideoInitDataObject_cl videoData(&Vision::Callbacks.OnVideoInitializing, &m_videoConfig);
  Vision::Callbacks.OnVideoInitializing.TriggerCallbacks(&videoData);

  const VVideoConfig& v = m_videoConfig;
  Vision::Error.SystemMessage(
      "Engine start: %dx%d fullscreen=%d adapter=%d refresh=%d multisample=%d vsync=%d switches=%d/%d/%d "
      "input=0x%X title=\"%s\"",
      v.m_iXRes, v.m_iYRes, v.m_bFullScreen ? 1 : 0, v.m_iAdapter, v.m_iRefreshRate, v.m_iMultiSample,
      v.m_bWaitVRetrace ? 1 : 0, v.m_bTripleBuffer ? 1 : 0, v.m_bResetOnFocusLoss ? 1 : 0,
      v.m_bEnableStencil ? 1 : 0, (unsigned)m_iInputFlags, m_windowConfig.m_sTitle.AsChar());

  const char* fail = Env("ENGINE_FAIL_INIT");
  if (fail && std::strcmp(fail, "1") == 0) {
    Vision::Error.SystemMessage("Engine start failed (ENGINE_FAIL_INIT=1)");
    return false;
  }

  if (!VVideo::Initialize(m_videoConfig)) return false;
  if (VVideo::WantsWindow() && !VGLDevice::GetInstance().Open(m_videoConfig, m_windowConfig)) {
    Vision::Error.SystemMessage("Engine start failed: ENGINE_VIDEO=gl and no window");
    VVideo::DeInitialize();
    return false;
  }

  Vision::Key.Reset();
  Vision::Mouse.SetInputFlags(m_iInputFlags);

  Vision::Timer.Reset();
  if (float dt = ReadTimeStep(); dt > 0.0f) Vision::Timer.SetFixedTimeStep(dt);

  m_iMaxFrames = ReadFrameLimit();
  g_replay.Clear();
  if (const char* input = Env("ENGINE_INPUT")) g_replay.LoadFile(input);
  m_iFrames = 0;
  m_iPresented = 0;
  m_bRendering = false;
  Vision::Renderer.SetRendererRunning(true);
  VisRenderContext_cl::GetMainRenderContext()->Activate();
  m_bEngineInit = true;
  return true;
}

void VisionApp_cl::DeInitEngine() {
  if (!m_bEngineInit) return;
  // Game managers tear down first, then those that must run after them.
  Vision::Callbacks.OnEngineDeInit.TriggerCallbacks();
  Vision::Callbacks.OnEngineDeInitLate.TriggerCallbacks();
  // Techniques were released by their holders; a new start reads the libraries again.
  Vision::Shaders.UnloadAll();
  Vision::World.UnloadWorld();
  Vision::Camera.Detach();
  Vision::Renderer.SetRendererRunning(false);
  VVideo::DeInitialize();
  g_replay.Clear();
  m_bRendering = false;
  m_iMaxFrames = 0;
  m_bQuit = false;
  m_bEngineInit = false;
}

void VisionApp_cl::PollInput() {
  // The window's events, then the replayed ones of this frame (numbered from 1).
  VSDLEventPump::Pump(*this);
  if (m_bEngineInit) g_replay.DeliverFrame(m_iFrames + 1);
  if (g_eventPump) g_eventPump(*this);
  Vision::Key.Poll();
  Vision::Mouse.Poll();
}

bool VisionApp_cl::Run() {
  if (m_bQuit) return false;

  PollInput();
  Vision::Timer.Update();
  Vision::Message.ClearFrame();
  const float dt = Vision::Timer.GetTimeDifference();

  // Scene update: game managers and per-frame components first.
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  Vision::Game.RunThinkFunctions();
  // Animations advance (their events reach the entities), then the particle effects.
  Vision::Animations.Update(dt);
  VisParticleGroupManager_cl::GlobalManager().Tick(dt);
  // Script tick: handlers, then the scripts' "OnThink".
  Vision::Callbacks.OnScriptThink.TriggerCallbacks();
  Vision::GetScriptManager()->Think();
  // Cameras and the model scheduler, before the camera takes its pose.
  Vision::Callbacks.OnFrameUpdatePreRender.TriggerCallbacks();
  Vision::Camera.Update();

  if (vPhysXModule* physics = vPhysXModule::GetInstance()) {
    physics->OnRunPhysics(dt);
    FetchPhysicsResults();
  }
  // Fires every frame, with or without a physics module, so listeners see one tick.
  Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
  // The scene update is over (the GUI reads the frame's results).
  Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
  // Late work of the frame (after every noise event of the update).
  Vision::Callbacks.OnFrameUpdateLate.TriggerCallbacks();

  BeginRendering();
  ActivateMainContext();
  RenderScene();
  UpdatePostRender();
  EndRendering();
  UpdateScreen();

  Vision::Game.FreeRemovedEntities();

  ++m_iFrames;
  if (m_iMaxFrames != 0 && m_iFrames >= m_iMaxFrames) {
    Vision::Error.SystemMessage("ENGINE_FRAMES reached: quitting after %u frames", m_iFrames);
    Quit();
  }
  return true;
}

// The application shows load progress; the engine needs nothing of it.
void VisionApp_cl::OnLoadWorldStatus(int status, float percent, const char* message) {}

void VisionApp_cl::FetchPhysicsResults() {
  if (vPhysXModule* physics = vPhysXModule::GetInstance()) physics->FetchPhysicsResults();
}

void VisionApp_cl::BeginRendering() {
  if (m_bRendering) Vision::Error.Warning("BeginRendering called twice without EndRendering");
  m_bRendering = true;
  VGLDevice::GetInstance().BeginFrame();
}

void VisionApp_cl::GlobalTick() { Vision::Camera.Update(); }

void VisionApp_cl::ActivateMainContext() { VisRenderContext_cl::GetMainRenderContext()->Activate(); }

void VisionApp_cl::RenderScene() {
  // The world from the main camera (the draw list and what it sees), then the
  // highlights added by the hook, drawn under the screen masks; the GUI last.
  VisWorldRenderer_cl& world = VisWorldRenderer_cl::GetInstance();
  world.BuildFrame(VisRenderContext_cl::GetMainRenderContext());
  VisRenderHookDataObject_cl scene(&Vision::Callbacks.OnRenderHook, VRH_PRE_SCREENMASKS);
  Vision::Callbacks.OnRenderHook.TriggerCallbacks(&scene);
  world.DrawWithDevice(VisRenderContext_cl::GetMainRenderContext());
  VisScreenMask_cl::RenderAll();
  VisRenderHookDataObject_cl gui(&Vision::Callbacks.OnRenderHook, VRH_GUI);
  Vision::Callbacks.OnRenderHook.TriggerCallbacks(&gui);
}

// Headless nothing is kept after a frame.
void VisionApp_cl::UpdatePostRender() {}

void VisionApp_cl::EndRendering() {
  if (!m_bRendering) Vision::Error.Warning("EndRendering called without BeginRendering");
  m_bRendering = false;
}

void VisionApp_cl::UpdateScreen() {
  VGLDevice::GetInstance().Present();
  ++m_iPresented;
}

namespace Vision {

void SetApplication(VisionApp_cl* app) { g_app = app; }

VisionApp_cl* GetApplication() { return g_app; }

void Shutdown() {
  if (g_app && g_app->IsEngineInitialized()) g_app->DeInitEngine();
  Plugins.UnloadAllEnginePlugins();
  // Entities may hold script instances: empty the world before the scripts go.
  World.UnloadWorld();
  Camera.Detach();
  GetScriptManager()->Reset();
  VVideo::DeInitialize();
  Renderer.SetRendererRunning(false);
  Error.Flush();
}

}  // namespace Vision

long VisionWndProc(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      const int x = (int16_t)(lParam & 0xffff);
      const int y = (int16_t)((lParam >> 16) & 0xffff);
      Vision::Mouse.InjectMove((float)x, (float)y);
      break;
    }
    case WM_KILLFOCUS:
      // Keys released while another window has the focus never reach us.
      Vision::Key.Reset();
      break;
    default:
      break;
  }
  return 0;
}

namespace Vision {

bool GetStartScene(VString& file, int& location) {
  const char* v = Env("ENGINE_SCENE");
  if (!v) return false;
  char* rest = nullptr;
  long loc = std::strtol(v, &rest, 10);
  if (rest == v || *rest != ':' || rest[1] == '\0' || (loc != 1 && loc != 2)) {
    Vision::Error.Warning("ENGINE_SCENE '%s' is not '<1 or 2>:<scene file>': ignored", v);
    return false;
  }
  location = (int)loc;
  file = rest + 1;
  return true;
}

}  // namespace Vision
