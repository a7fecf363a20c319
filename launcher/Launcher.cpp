// Start-up, main loop and shutdown of the launcher.
#include "Launcher.h"

#include "CommandLine.h"
#include "MainLoop.h"
#include "StartParameters.h"
#include "TideworkImports.h"
#include "UpdateCheck.h"
#include "Version.h"
#include "WindowProc.h"

#include "engine/Vision.h"

#include <cwchar>
#include <new>
#include <string>

namespace {
// The engine memory manager lives as long as the program.
IVMemoryManager* g_memoryManager = nullptr;

const int WT_MAIN_MENU = 9;

const char* const kPrecachedScripts[] = {
    "scripts\\GameScript.lua",        "\\Scripts\\SoldierStats.lua",      "\\Scripts\\Weapons.lua",
    "\\Scripts\\Nations.lua",         "\\Scripts\\ShipyardScript.lua",    "\\Scripts\\LandUnits\\Skills.lua",
    "\\Scripts\\Collectables.lua",    "\\Scripts\\SoundScript.lua",       "\\Scripts\\SFXSoundInitScript.lua",
    "\\Scripts\\ShipColorSchemes.lua",
};

void LoadEnginePluginOrDie(const char* name) {
  if (!Vision::Plugins.LoadEnginePlugin(name)) Vision::Error.FatalError("Could not load %s.rEradov(D)", name);
}

// Offers an update the service announced. True when the user accepted it and its
// address was handed to the shell: the program then ends at once.
bool OfferUpdate(const UpdateCheck& check) {
  const std::wstring& address = check.GetUpdateAddress();
  if (!check.IsUpdateAvailable() || address.empty()) return false;
  const int answer = VMessageBoxW(check.GetDescription().c_str(), L"New update available!", VMB_YESNO | VMB_ICONQUESTION);
  if (answer != VIDYES) return false;
  // The reply is not authenticated: only a web address goes to the shell.
  if (!Launcher::IsWebAddress(address.c_str())) {
    Vision::Error.Warning("Update address refused: %s", VWideToUTF8(address.c_str()).c_str());
    return false;
  }
  VShellOpenW(address.c_str());
  return true;
}

void ApplyEngineSettings() {
  Vision::Renderer.SetLensFlares(false);
  Vision::Renderer.SetCoronas(false);
  Vision::Renderer.SetGlobalAmbientSwitch(false);
  VisBaseEntity_cl::SetExpectedCount(500);
  Vision::Renderer.SetDepthFillSwitch(true);
  Vision::LoadWorld(nullptr);
}

void ApplyRendererAndPhysicsSettings() {
  Vision::Renderer.SetMaxShadowDistance(1000.0f);
  if (gPhysicsSDK) {
    gPhysicsSDK->setParameter(1, 0.02f);
    gPhysicsSDK->setParameter(29, 1.0f);
    gPhysicsSDK->setParameter(77, 0.05f);
  }
  Vision::Renderer.SetMaxAnisotropy(1.0f);
  Vision::Renderer.SetDefaultTextureFilterMode(7);
  Vision::Renderer.SetUseHardwareOcclusion(false);
  Vision::Renderer.SetUseHardwareOcclusionFlags(0);
  Vision::Renderer.SetUseSingleBufferedStaticMeshes(false);
  Vision::World.SetUseGeometryVisibility(false);
  Vision::Message.SetMaxNum(1);

  if (vPhysXModule* physics = vPhysXModule::GetInstance()) {
    physics->SetUseAsynchronousPhysics(true);
    physics->SetPhysicsTickCount(60, 8);
    physics->SetTimeStepMethod(1);
    physics->SetAlwaysSimulate(false);
  }
}
}  // namespace

bool Launcher::IsWebAddress(const wchar_t* address) {
  if (!address) return false;
  return wcsncasecmp(address, L"http://", 7) == 0 || wcsncasecmp(address, L"https://", 8) == 0;
}

int Launcher::Run(const char* commandLine) {
  if (!g_memoryManager) {
    g_memoryManager = new (std::nothrow) VSmallBlockMemoryManager(false);
    if (g_memoryManager) SetVMemoryManager(g_memoryManager);
  }
  // The log opens in the current folder, before the program folder becomes current.
  Vision::Error.SetOutput(1, 0, 1, 0, 1, 0, "log.txt");
  VisionAppHelpers::MakeEXEDirCurrent();

  UpdateCheck updateCheck;
  updateCheck.Run();
  if (OfferUpdate(updateCheck)) return 0;

  VShowSystemCursor(false);
  SetDefaultOptions();
  ApplyCommandLine(commandLine);

  const std::string rule(74, '-');
  Vision::Error.SystemMessage("%s", rule.c_str());
  Vision::Error.SystemMessage("Brinemark %s %s", kBrinemarkVersion, kBrinemarkBuildStamp);
  Vision::Error.SystemMessage("%s", rule.c_str());

  TideworkImports& tidework = TideworkImports::Require();
  VisionApp_cl* app = tidework.VisMainApp_GetInstance();
  tidework.VisMainApp_LoadVisionEnginePlugin();
  app->m_windowConfig.SetWindowProc(WindowProc);

  LoadEnginePluginOrDie("vPhysX");
  LoadEnginePluginOrDie("SoundEnginePlugin");

  const StartParameters start = StartParameters::FromDictionary(Vision::Game.GetDictionary(), VVideo::GetAdapterCount());
  if (start.adapter >= 0) app->m_videoConfig.m_iAdapter = start.adapter;
  if (!tidework.VisMainApp_InitSample("Brinemark", nullptr, start.videoFlags, start.width, start.height,
                                      start.inputFlags, 0))
    return -1;

  // Settings loaded inside InitSample may have overwritten options: the command line wins.
  ApplyCommandLine(commandLine);
  ApplyEngineSettings();
  for (const char* script : kPrecachedScripts) Vision::File.PrecacheFile(script, nullptr);

  // A test scene (ENGINE_SCENE) replaces the intro and the main menu.
  VString startScene;
  int startLocation = 0;
  const bool testScene = Vision::GetStartScene(startScene, startLocation);

  tidework.GUIManager_Init(VVideo::GetD3DDevice());
  if (!testScene) tidework.GUIManager_PlayIntroVideos();
  tidework.GUIManager_SetLoadingScreen("..\\..\\..\\data\\gui\\textures\\loadscreen_start.dds");
  tidework.GUIManager_ShowLoadingScreen();
  tidework.VisMainApp_RenderFrame();
  tidework.GUIManager_InitLayouts();

  LoadEnginePluginOrDie("Tidework");

  tidework.VisMainApp_RenderFrame();
  if (!testScene || !tidework.VisMainApp_LoadStartScene()) tidework.GUIManager_ShowFrame(WT_MAIN_MENU);
  VShowSystemCursor(true);
  tidework.GUIManager_HideLoadingScreen(5.0f, 1.0f);
  ApplyRendererAndPhysicsSettings();

  MainLoop::Run([app] { return app->Run(); });

  VClipCursor(nullptr);
  tidework.VisMainApp_DeInitSample();
  Vision::Plugins.UnloadAllEnginePlugins();
  Vision::Shutdown();
  Vision::Game.GetDictionary().DeleteAll();
  return 0;
}
