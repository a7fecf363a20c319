// Start and stop of the game plug-in, in the order the managers depend on.
#include "core/Tidework.h"

#include "Factories/ShipFactory.h"
#include "Managers/AchievementManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/MusicManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/RadarManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "Managers/VolumetricFogManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/MissionManager.h"
#include "core/DebugComponent.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "core/VModelScheduler.h"

#include "engine/Vision.h"

namespace {
Tidework_cl g_TideworkPlugin;
VModule g_TideworkModule{0x01000100, "Tidework", "Fenwold", "Game logic of Brinemark", &g_TideworkPlugin};
}  // namespace

VModule& Tidework_cl::GetModule() { return g_TideworkModule; }

IVisPlugin_cl* GetEnginePlugin() { return &g_TideworkPlugin; }
IVisPlugin_cl* GetEnginePlugin_Tidework() { return &g_TideworkPlugin; }

void Tidework_cl::OnPluginStart() {
  Vision::Actions.SetConsoleManagerEnabled(false);
  // The module's console commands become available with its registration.
  Vision::RegisterModule(&g_TideworkModule);
  Vision::Actions.RegisterModule(&g_TideworkModule);
  Vision::Callbacks.OnFrameUpdatePreRender.RegisterCallback(&VModelScheduler::GlobalManager());
  // Scene data may name the debug component before any code has made one.
  if (!VType::FindType("DebugComponent")) {
    DebugComponent forced;
  }

  // The tables must exist before the game script's first run in OneTimeInit.
  RegisterLuaBindings();
  RtsManager::GlobalManager().OneTimeInit();
  GameManager::GetInstance()->OneTimeInit();
  MissionManager::GlobalManager().RegisterCallbacks();

  // Each is created only when missing.
  RadarManager::GetInstance();
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(WildLifeManager::GetInstance());
  JokeManager::GetInstance()->Initialize();
  AchievementManager::GetInstance();
}

void Tidework_cl::OnPluginStop() {
  AchievementManager::CleanInstance();
  SaveGameManagerProto::CleanInstance();
  MissionManager::GlobalManager().DeregisterCallbacks();
  RtsManager::GlobalManager().OneTimeDeInit();

  // Created when missing, only to be taken off its callback and deleted.
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(WildLifeManager::GetInstance());
  WildLifeManager::CleanInstance();

  // Each may have been deleted already by the application's quit or de-init.
  GameManager::CleanInstance();
  SoundManager::CleanInstance();
  MusicManager::CleanInstance();
  ShipFactory::CleanInstance();
  TownManager::CleanInstance();
  NoiseManagerProto::CleanInstance();
  VolumetricFogManager::CleanInstance();
  GameSessionManager::CleanInstance();
  RadarManager::CleanInstance();
  FogOfWarManager::CleanInstance();
  LocalizationTable::CleanInstance();
  SettingsManager::CleanInstance();

  Vision::Callbacks.OnFrameUpdatePreRender.DeregisterCallback(&VModelScheduler::GlobalManager());
  Vision::Actions.UnregisterModule(&g_TideworkModule);
  Vision::UnregisterModule(&g_TideworkModule);
}
