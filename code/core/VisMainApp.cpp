// The game's application frame: engine start with the data folders and video
// mode, the per-frame driver with its debug keys, FPS and help overlay, and
// scene loading.
#include "core/VisMainApp.h"

#include "Factories/ShipFactory.h"
#include "Managers/BattleManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "Managers/MouseCursorManager.h"
#include "Managers/MusicManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "gui/GUIManager.h"
#include "util/Navigation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

VInputMap* VisMainApp::s_pInputMap = nullptr;

namespace {
const float kFPSInterval = 0.1f;
const int kMaxPathLength = 4096;

const char* const kSampleDataDirs[] = {
    "..\\..\\..\\data\\models", "..\\..\\..\\data\\textures", "..\\..\\..\\data\\meshes",
    "..\\..\\..\\data\\sounds", "..\\..\\..\\data\\misc",     "..\\..\\..\\base",
    "..\\..\\..\\data",         "..\\..\\..\\data\\music",    "..\\..\\..\\data\\scenes",
    "..\\..\\..\\savegames",
};

struct DebugFlagName {
  unsigned flag;
  const char* name;
};
// Looked up in this order.
const DebugFlagName kDebugFlagNames[] = {
    {0x1, "Display vision version"},
    {0x2, "Display object triangle count"},
    {0x4, "Display object visibility bounding box"},
    {0x8, "Display object vis area assignment"},
    {0x80, "Display light influence bounding box"},
    {0x100, "Display trace lines"},
    {0x200, "Display stencil shadow silhouettes"},
    {0x400, "Display stencil shadow volumes"},
    {0x10, "Display visibility objects"},
    {0x40, "Display portals"},
    {0x20, "Display visibility zones"},
    {0x4000, "Scripting statistics"},
    {0x8000, "Display object render order"},
    {0x10000, "Display thread workload"},
    {0x20000, "Display streaming zones"},
};

// Input-map bindings of the application (engine control values).
struct Binding {
  int control;
  int device;
  unsigned value;
  bool single;  // reported once per press; otherwise a value with dead zone 0.2
};
const Binding kBindings[] = {
    {0, V_KEYBOARD, 101, true},         {9, V_KEYBOARD, 0xFF00009A, true}, {8, V_KEYBOARD, 0xFF0000BF, true},
    {3, V_KEYBOARD, 0xFF0000B9, true},  {14, V_KEYBOARD, 146, true},       {15, V_KEYBOARD, 134, true},
    {16, V_KEYBOARD, 87, true},         {17, V_KEYBOARD, 101, true},       {19, V_KEYBOARD, 105, true},
    {18, V_KEYBOARD, 104, true},        {20, V_KEYBOARD, 102, true},       {21, V_KEYBOARD, 103, true},
    {22, V_KEYBOARD, 123, true},        {23, V_KEYBOARD, 124, true},       {24, V_KEYBOARD, 80, false},
    {25, V_KEYBOARD, 78, false},        {16, V_PAD0, 10, false},           {19, V_PAD0, 3, true},
    {18, V_PAD0, 2, true},              {20, V_PAD0, 0, true},             {21, V_PAD0, 1, true},
};

bool Triggered(VInputMap* map, int control) { return map->GetTrigger(control) != 0.0f; }
}  // namespace

VInputMap* VisMainApp::GetInputMap() { return s_pInputMap; }

VisMainApp::VisMainApp() {
  m_helpLines.Reserve(16);
  char folder[kMaxPathLength] = {};
  if (VFileHelper::GetCurrentDirectory(folder, kMaxPathLength)) m_sStartFolder = folder;
  Vision::Message.Add("Press 'F1' for help.");
}

VisMainApp::~VisMainApp() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(&m_mouseCameraWatch);
  FreeHelpText();
  if (!m_sStartFolder.empty()) VFileHelper::SetCurrentDirectory(m_sStartFolder.c_str());
  m_sLoadingImage.Reset();
}

bool VisMainApp::InitSample(const char* caption, const char* sceneName, int flags, int width, int height,
                            int inputFlags, int threadCount) {
  // What the caller asked for; the settings may still change the mode below.
  Vision::Error.SystemMessage("InitSample: %dx%d flags=0x%X input=0x%X", width, height, (unsigned)flags,
                              (unsigned)inputFlags);
  Vision::SetApplication(this);
  Vision::File.SetReadCacheSize(0x100000);
  m_iStartFlags = flags;

  LoadHelpFile(nullptr, (flags & 0x1000) == 0);
  VisionAppHelpers::MakeEXEDirCurrent();
  if (!caption) caption = "Engine Sample";

  if (flags & 0x2) {
    if (VMessageBox("Do you want to run in windowed mode?", caption, VMB_YESNO | VMB_ICONQUESTION) == VIDYES)
      flags &= ~0x1;
    else
      flags |= 0x1;
  }

  // Use the adapter that shows the desktop; its monitor starts at the origin.
  const char* desktop = VVideo::GetDesktopMonitorName();
  for (int i = 0; desktop && i < VVideo::GetAdapterCount(); ++i) {
    const char* monitor = VVideo::GetAdapterMonitorName(i);
    if (monitor && strcmp(monitor, desktop) == 0) {
      m_videoConfig.m_iAdapter = i;
      m_windowConfig.m_iX = 0;
      m_windowConfig.m_iY = 0;
      break;
    }
  }

  const bool fullScreen = (flags & 0x1) != 0;
  int refresh = m_videoConfig.m_iRefreshRate;
  if (fullScreen) {
    VVideoMode current;
    VVideo::GetAdapterMode(m_videoConfig.m_iAdapter, current);
    if (flags & 0x20) {
      width = current.m_iXRes;
      height = current.m_iYRes;
    }
    m_windowConfig.m_bBorderless = true;
    m_windowConfig.m_iCreationFlags = 1;
    VVideoMode mode = current;
    if (GetClosestVideoMode(mode, width, height, current.m_iRefreshRate)) {
      width = mode.m_iXRes;
      height = mode.m_iYRes;
      refresh = mode.m_iRefreshRate;
    }
  }
  if (height > 0) m_bTripleWide = (float)width / (float)height > 3.0f;

  if (flags & 0x2000) m_videoConfig.m_bTripleBuffer = true;
  m_windowConfig.m_sTitle = "Brinemark";
  if (flags & 0x8000) m_videoConfig.m_bResetOnFocusLoss = false;
  if (flags & 0x400)
    m_videoConfig.m_iMultiSample = VVIDEO_MULTISAMPLE_8TIMES;
  else if (flags & 0x8)
    m_videoConfig.m_iMultiSample = VVIDEO_MULTISAMPLE_4TIMES;
  else if (flags & 0x4)
    m_videoConfig.m_iMultiSample = VVIDEO_MULTISAMPLE_2TIMES;
  else
    m_videoConfig.m_iMultiSample = VVIDEO_MULTISAMPLE_OFF;
  m_videoConfig.m_bFullScreen = fullScreen;
  m_videoConfig.m_iXRes = width;
  m_videoConfig.m_iYRes = height;
  m_videoConfig.m_iRefreshRate = refresh;
  if (flags & 0x10) m_videoConfig.m_bEnableStencil = true;
  InitInputDevices(inputFlags);

  VStreamProcessor::Initialize(1);
  if (!(flags & 0x800)) SetupSampleData();

  SettingsManager* settings = SettingsManager::GetInstance();
  settings->ApplyVolume();
  settings->ApplyResolution(false);

  if (!InitEngine()) {
    Vision::Mouse.ReleaseDevice();
    VMessageBox("Failed to initialize the engine", caption, VMB_OK | VMB_ICONEXCLAMATION);
    return false;
  }

  delete s_pInputMap;
  s_pInputMap = new VInputMap(92, 20);
  Vision::Actions.SetConsoleManagerEnabled(true);
  for (const Binding& b : kBindings) {
    if (b.single)
      s_pInputMap->MapTrigger(b.control, b.device, b.value, true);
    else
      s_pInputMap->MapTriggerValue(b.control, b.device, b.value, 0.2f);
  }

  // One processor stays with the main thread.
  const int threads = threadCount != 0 ? threadCount : VGetProcessorCount();
  Vision::GetThreadManager().SetThreadCount(std::max(threads - 1, 1));

  VisionAppHelpers::CheckShaderCompatibility();
  if (VisRenderContext_cl* context = VisRenderContext_cl::GetCurrentContext()) context->SetFOV(0.0f, 58.71551f);

  m_bInitialized = true;
  Vision::Error.SetReportBenignWarnings(false);
  LoadScene(sceneName);
  return true;
}

void VisMainApp::DeInitSample() {
  delete s_pInputMap;
  s_pInputMap = nullptr;
  m_sLoadingImage.Reset();
  m_bInitialized = false;

  // The quit path may have deleted the game manager; its de-init still has to run.
  GameManager::GetInstance()->OneTimeDeInit();
  RtsManager::GlobalManager().OneTimeDeInit();

  ShipFactory::CleanInstance();
  FogOfWarManager::CleanInstance();
  GameSessionManager::CleanInstance();
  JokeManager::CleanInstance();
  SoundManager::CleanInstance();
  MusicManager::CleanInstance();
  ArtifactManager::CleanInstance();
  PauseManager::CleanInstance();
  MouseCursorManager::CleanInstance();

  DeInitEngine();
  Vision::SetApplication(nullptr);
}

int VisMainApp::QuerySceneLoadState() {
  if (m_iSceneLoadState >= 3) {
    m_iSceneLoadState = 4;
  } else if (m_sceneLoader.IsFinished()) {
    if (m_iSceneLoadState == 0 || m_iSceneLoadState == 1)
      m_iSceneLoadState = m_sceneLoader.GetStatus() == VSceneLoader::STATUS_FAILED ? 2 : 3;
  } else {
    UpdateScreen();
    m_sceneLoader.Tick();
    m_iSceneLoadState = 1;
  }
  return m_iSceneLoadState;
}

bool VisMainApp::Run() {
  const int state = QuerySceneLoadState();
  if (state == 1) return true;
  if (state == 2 || !m_bInitialized) return false;

  HandleDebugKeys();
  if (m_bPaused) Vision::Timer.ForceTimer();

  if (!WantsToQuit()) {
    CountFrame();
    BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
    GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
    const bool result = VisionApp_cl::Run();
    PrintOverlay();
    BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
    GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
    return result;
  }

  // A quit was requested: the campaign's singletons go first.
  m_sLoadingImage.Reset();
  SaveGameManagerProto::CleanInstance();
  FogOfWarManager::CleanInstance();
  GameManager::CleanInstance();
  ShipFactory::CleanInstance();
  TownManager::CleanInstance();
  NoiseManagerProto::CleanInstance();
  JokeManager::CleanInstance();
  ArtifactManager::CleanInstance();
  PauseManager::CleanInstance();
  MouseCursorManager::CleanInstance();
  return false;
}

void VisMainApp::CountFrame() {
  ++m_iFrameCounter;
  m_fFPSTime += Vision::Timer.GetTimeDifference();
  if (m_fFPSTime >= kFPSInterval) {
    m_fFPS = (float)m_iFrameCounter / m_fFPSTime;
    m_iFrameCounter = 0;
    m_fFPSTime = 0.0f;
  }
}

// The engine clears the screen texts when its frame starts, so the overlay is
// printed once the frame has run and stays until the next one.
void VisMainApp::PrintOverlay() {
  if (m_bShowFPS) Vision::Message.Print(m_iFPSTextX, VVideo::GetCurrentHeight() - 20, "FPS : %4d", (int)ceilf(m_fFPS));
  if (m_bShowHelp) {
    for (int i = 0; i < m_helpLines.GetLength(); ++i)
      Vision::Message.Print(m_iHelpX, m_iHelpY + 12 * i, "%s", m_helpLines.Get(i)->AsChar());
  }
}

unsigned VisMainApp::NextDebugRenderFlags(unsigned flags) {
  if (flags == 0) return 1;
  if (flags >= 0x80000) return 0;
  return flags * 2;
}

const char* VisMainApp::GetDebugRenderFlagName(unsigned flags) {
  for (const DebugFlagName& n : kDebugFlagNames) {
    if (!(flags & n.flag)) continue;
    if (n.flag == 0x4000 && !Vision::GetScriptManager()) return "Scripting statistics (no script manager installed)";
    return n.name;
  }
  return "";
}

void VisMainApp::HandleScreenshotKey() {
  VInputMap* map = s_pInputMap;
  if (!map || (m_iStartFlags & 0x1000) || !Triggered(map, 8)) return;
  if (Vision::Renderer.SaveScreenShot())
    Vision::Message.Add("Saved screenshot ...");
  else
    Vision::Message.Add("Screenshot could not be saved! Write protection?");
}

void VisMainApp::HandleDebugKeys() {
  VInputMap* map = s_pInputMap;
  if (!map) return;

  if (Triggered(map, 2)) m_bShowHelp = !m_bShowHelp;
  if (!Vision::Actions.IsConsoleOpen()) {
    if (Vision::Key.IsPressed_SC(25)) {
      PauseManager* pause = PauseManager::GetInstance();
      pause->SetFullPause(!pause->IsFullPaused());
    }
    if (Triggered(map, 10)) {
      PauseManager* pause = PauseManager::GetInstance();
      pause->SetGamePause(!pause->IsGamePaused());
    }
  }
  if (m_iStartFlags & 0x1000) return;

  if (Triggered(map, 3)) m_bShowFPS = !m_bShowFPS;
  if (Triggered(map, 4)) Vision::Renderer.SetWireframeMode(!Vision::Renderer.GetWireframeMode());
  if (Triggered(map, 5)) {
    const unsigned flags = NextDebugRenderFlags(Vision::Renderer.GetDebugRenderFlags());
    Vision::Renderer.SetDebugRenderFlags(flags);
    Vision::Message.Add("%s", GetDebugRenderFlagName(flags));
  }
  if (Triggered(map, 6)) {
    const int reloaded = Vision::Renderer.ResetEffectCaches() + Vision::Renderer.ReloadShaderAssignments();
    Vision::Message.Add("%i resources were outdated and have been reloaded", reloaded);
  }
  if (Triggered(map, 7)) Vision::Renderer.SetDebugRenderFlags(Vision::Renderer.GetDebugRenderFlags() ^ 0x2);
  HandleScreenshotKey();
  if (Triggered(map, 11)) VProfiling::PreviousChart();
  if (Triggered(map, 12)) VProfiling::NextChart();
  if (Triggered(map, 13)) VProfiling::ResetMaxValues();

  const bool narrower = Triggered(map, 26), wider = Triggered(map, 27);
  if (narrower || wider) {
    VisRenderContext_cl* context = VisRenderContext_cl::GetCurrentContext();
    if (context) {
      float fovX = 0.0f, fovY = 0.0f;
      context->GetFOV(fovX, fovY);
      const float dt = Vision::Timer.GetTimeDifference();
      if (narrower) fovX -= 10.0f * dt;
      if (wider) fovX += 10.0f * dt;
      fovX = fovX < 5.0f ? 5.0f : (fovX > 160.0f ? 160.0f : fovX);
      context->SetFOV(fovX, fovY);
      Vision::Message.Add("FOV is now: %f", fovX);
    }
  }
}

void VisMainApp::OnLoadWorldStatus(int status, float percent, const char* message) {
  VisionApp_cl::OnLoadWorldStatus(status, percent, message);
}

void VisMainApp::FetchPhysicsResults() { VisionApp_cl::FetchPhysicsResults(); }

bool VisMainApp::RenderFrame() {
  m_bJustRendering = true;
  Vision::Timer.ForceTimer();
  const bool result = VisionApp_cl::Run();
  m_bJustRendering = false;
  return result;
}

void VisMainApp::RenderOnlyVisuals() {
  BeginRendering();
  GlobalTick();
  ActivateMainContext();
  RenderScene();
  UpdatePostRender();
  EndRendering();
  UpdateScreen();
  // A blocking video shows frames outside the main loop: what it shows can be kept too.
  HandleScreenshotKey();
  Vision::Key.SetSingleHitMode_SC(25, true);
}

void VisMainApp::LoadScene(const char* name) {
  if (!name || !*name) return;
  m_iSceneLoadState = 0;
  VString file(name);
  if (VStringICompare(VFileHelper::GetExtension(name), "vscene") != 0) file += ".vscene";
  if (!m_sceneLoader.LoadScene(file)) Vision::Error.FatalError("%s", m_sceneLoader.GetLastError());

  // The GUI keeps drawing (the loading screen) while the scene streams in.
  while (QuerySceneLoadState() == 1) {
    Vision::Timer.Update();
    GUIManager* gui = GUIManager::GetInstance();
    IVisCallbackDataObject_cl sceneUpdate(&Vision::Callbacks.OnUpdateSceneBegin);
    gui->OnHandleCallback(&sceneUpdate);
    IVisCallbackDataObject_cl preRender(&Vision::Callbacks.OnFrameUpdatePreRender);
    gui->OnHandleCallback(&preRender);
    BeginRendering();
    GlobalTick();
    EndRendering();
    VSleep(1);
  }
}

namespace {

// The level number of a downloadable level's scene ("DLC\01\scenes\level_NN\level_NN.vscene",
// either separator, any case); 0 for any other scene.
int DlcLevelOfScene(const char* file) {
  std::string name = file ? file : "";
  for (char& c : name) c = c == '/' ? '\\' : (char)std::tolower((unsigned char)c);
  int first = 0, second = 0, used = 0;
  if (std::sscanf(name.c_str(), "dlc\\01\\scenes\\level_%d\\level_%d.vscene%n", &first, &second, &used) != 2 ||
      used != (int)name.size() || first != second)
    return 0;
  return first > 0 ? first : 0;
}

void LogStartCamera() {
  const VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity");
  if (camera)
    Vision::Error.SystemMessage("Start scene set up: camera entity at %.1f %.1f %.1f", camera->GetPosition().x,
                                camera->GetPosition().y, camera->GetPosition().z);
  else
    Vision::Error.SystemMessage("Start scene set up: no camera entity");
}

}  // namespace

bool VisMainApp::LoadStartScene() {
  VString file;
  int location = 0;
  if (!Vision::GetStartScene(file, location)) return false;
  Vision::Error.SystemMessage("Start scene '%s' at location %d", file.AsChar(), location);
  // A downloadable level starts as the game starts it, in its own game mode.
  const int level = location == 1 ? DlcLevelOfScene(file.AsChar()) : 0;
  if (level > 0) {
    MissionManager::GlobalManager().StartDlc(level);
    LogStartCamera();
    return true;
  }
  GameManager::GetInstance()->SetLocation(location);
  LoadScene(file.AsChar());
  if (m_iSceneLoadState == 2) return true;  // the failure ends the main loop

  if (location == 1) {
    // The walkability picture lies beside the scene.
    const std::string map = VFileHelper::GetDirectory(file.AsChar()) + "\\CollisionMap.dds";
    if (Vision::File.Exists(map.c_str())) GameManager::GetInstance()->GetNavigation()->LoadMap(map.c_str());
    RtsManager& rts = RtsManager::GlobalManager();
    rts.Initialize();
    rts.SetLandBattle(true);
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(&rts);
  } else {
    BattleManager::GetInstance()->InitCamera();
  }
  LogStartCamera();
  return true;
}

void VisMainApp::UnloadScene() { Vision::LoadWorld(nullptr); }

void VisMainApp::LoadVisionEnginePlugin() {
  if (!Vision::Plugins.LoadEnginePlugin("VisionEnginePlugin"))
    Vision::Error.FatalError("Could not load VisionEnginePlugin.rEradov(D)");
}

bool VisMainApp::SetupSampleData(const char* unused) {
  Vision::File.RemoveAllDataDirectories();
  for (const char* dir : kSampleDataDirs) AddSampleDataDir(dir);

  const std::string programFolder = VisionAppHelpers::GetEXEDirectory();
  if (Vision::File.SetOutputDirectory(programFolder.c_str()) && Vision::File.AddDataDirectory(programFolder.c_str()))
    Vision::Error.SystemMessage("Output directory is \"%s\"", programFolder.c_str());
  else
    Vision::Error.SystemMessage("Failed to set output directory; Defaulting to standard output dir");
  return true;
}

bool VisMainApp::AddSampleDataDir(const char* name) {
  if (!name || !*name) return false;
  // A package file comes before a plain folder, the program's own tree before data.
  const std::string prefixes[] = {std::string(".\\") + name, std::string("..\\..\\..\\data\\") + name};
  for (const std::string& base : prefixes) {
    const std::string candidates[] = {base + ".v", base + ".zip", base};
    for (int i = 0; i < 3; ++i) {
      const std::string& c = candidates[i];
      if (i < 2 ? !VFileHelper::ExistsFile(c.c_str()) : !VFileHelper::ExistsDir(c.c_str())) continue;
      Vision::Error.SystemMessage("Adding data directory \"%s\"", c.c_str());
      return Vision::File.AddDataDirectory(c.c_str());
    }
  }
  return false;
}

bool VisMainApp::GetClosestVideoMode(VVideoMode& mode, int width, int height, int refresh) {
  const int adapter = m_videoConfig.m_iAdapter;
  const int count = VVideo::GetAdapterModeCount(adapter);
  int best = -1;
  int bestDistance = 0;
  VVideoMode bestMode;
  for (int i = 0; i < count; ++i) {
    VVideoMode m;
    if (!VVideo::GetAdapterModeAt(adapter, i, m)) continue;
    const int distance = abs(m.m_iXRes - width) + abs(m.m_iYRes - height) + abs(m.m_iRefreshRate - refresh);
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      bestMode = m;
    }
  }
  if (best < 0) {
    Vision::Mouse.ReleaseDevice();
    VString text;
    text.Format("Resolution (%dx%d) not supported!", mode.m_iXRes, mode.m_iYRes);
    VMessageBox(text.AsChar(), "", VMB_OK | VMB_ICONEXCLAMATION);
    return false;
  }
  mode.m_iXRes = bestMode.m_iXRes;
  mode.m_iYRes = bestMode.m_iYRes;
  mode.m_iRefreshRate = bestMode.m_iRefreshRate;
  return true;
}

void VisMainApp::FreeHelpText() {
  for (VString* line : m_helpLines) delete line;
  m_helpLines.Clear();
}

void VisMainApp::AddHelpText(const char* text) { m_helpLines.Append(new VString(text ? text : "")); }

void VisMainApp::SetHelpText(int index, const char* text) {
  if (index < 0) return;
  while (m_helpLines.GetLength() <= index) m_helpLines.Append(new VString());
  *m_helpLines[index] = text ? text : "";
}

int VisMainApp::GetHelpLineCount() const { return m_helpLines.GetLength(); }

const char* VisMainApp::GetHelpLine(int i) const {
  return i >= 0 && i < m_helpLines.GetLength() ? m_helpLines.Get(i)->AsChar() : nullptr;
}

bool VisMainApp::LoadHelpFile(const char* file, bool addDefaults) {
  FreeHelpText();
  bool found = true;
  if (file) {
    // The file manager looks through the data folders in their order.
    std::vector<std::string> lines;
    found = Vision::File.ReadTextLines(file, lines);
    for (const std::string& line : lines) AddHelpText(line.c_str());
  }
  if (addDefaults) {
    AddHelpText("F1 - Help");
    AddHelpText("F2 - Toggle fps display");
    AddHelpText("F3 - Toggle wireframe");
    AddHelpText("F4 - Cycle through debug rendering info");
    AddHelpText("F5 - Reload modified resources");
    AddHelpText("F6 - Toggle polygon count");
    IVisPhysicsModule_cl* physics = GetPhysicsModule();
    if (physics && physics->GetType() != 1) AddHelpText("F7 - Toggle gravity");
    AddHelpText("F8 - Save screenshot");
    AddHelpText("F9 - Previous profiling chart");
    AddHelpText("F10 - Next profiling chart");
    AddHelpText("F11 - Reset profiling max values");
    AddHelpText("KP -/+ - Increase/decrease fov");
    AddHelpText("ESC - Quit");
  }
  return found;
}

VisBaseEntity_cl* VisMainApp::EnableMouseCamera() {
  if (!m_pMouseCamera) {
    m_pMouseCamera = Vision::Game.CreateEntity("VisMouseCamera_cl", VisVector_cl(0, 0, 0));
    if (m_pMouseCamera) GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(&m_mouseCameraWatch);
  }
  return m_pMouseCamera;
}

void VisMainApp::MouseCameraWatch::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed ||
      static_cast<BaseEntityDataObject*>(data)->m_pEntity != m_app.m_pMouseCamera)
    return;
  m_app.m_pMouseCamera = nullptr;
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void VisMainApp::SetupLoadingScreen(bool on, const char* image, float fadeTime) {
  m_bLoadingScreen = on;
  m_sLoadingImage = image;
  m_fLoadingFadeTime = fadeTime;
}
