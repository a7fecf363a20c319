// The campaign's start and end and the downloadable levels: fixed sequences that
// create, reset and delete the campaign's managers in a set order.
#include "Missions/MissionManager.h"

#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SeaScenePath.h"
#include "Managers/SettingsManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/PlayerStats.h"
#include "entities/ShipStats.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/FrameMainMenu.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/base/VisError.h"
#include "engine/physics/vPhysXModule.h"

#include <cstdio>

namespace {

const char* const kSeagullScript = "scripts\\fauna\\seagull_01.lua";
const char* const kDlcMissionsScript = "scripts\\Missions\\DlcMissions.lua";
// The collectable every campaign starts with in the inventory.
const int kStartingCollectable = 12;

// Every sequence here runs the game script; without the script manager or the
// game script it reports the assertion and does nothing.
IVScriptInstance* RequireGameScript() {
  VScriptResourceManager* pScriptMan = Vision::GetScriptManager();
  VASSERT_MSG(pScriptMan, "ScriptManager not found!");
  if (!pScriptMan) return nullptr;
  IVScriptInstance* pScript = pScriptMan->GetGameScript();
  VASSERT_MSG(pScript, "Game script not loaded!");
  return pScript;
}

// A function the script does not define is left out and the sequence goes on.
void CallIfDefined(IVScriptInstance* script, const char* function) {
  if (script && script->IsValid() && script->HasFunction(function)) script->ExecuteFunctionArg(function, "");
}

void CallScenePostInit() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  CallIfDefined(scripts ? scripts->GetSceneScript() : nullptr, "PostInit");
}

FrameMainMenu* MainMenu(GUIManager* gui) { return dynamic_cast<FrameMainMenu*>(gui->GetWindow(WT_MAIN_MENU)); }

void CloseWhenOpen(GUIManager* gui, WINDOW_TYPES type) {
  if (gui->FindWindowA(type)) gui->CloseWindow(type, false);
}

// The campaign's managers go and the world is left: shared by the campaign's end
// and the change to the next downloadable level, which wrap it in their own steps.
void ResetCampaignState() {
  GameSessionManager::CleanInstance();
  BattleManager::GetInstance()->ResetBattle();
  GameManager* game = GameManager::GetInstance();
  game->ClearNationShips();
  // The new location also forgets the mouse handler's remembered entities.
  game->SetLocation(-1);
  game->ResetUniqueID();
  GameContentManager::CleanInstance();
  RtsManager::GlobalManager().CleanUp();
  TutorialManager::GetInstance()->Reset();
}

void ResetGravity() {
  if (vPhysXModule* physics = vPhysXModule::GetInstance()) physics->SetGlobalGravity(VisVector_cl(0.0f, 0.0f, -9.8f));
}

}  // namespace

void MissionManager::StartCampaign() {
  Vision::Error.SystemMessage("MissionManager::StartCampaign()");
  IVScriptInstance* gameScript = RequireGameScript();
  if (!gameScript) return;

  GameManager* game = GameManager::GetInstance();
  game->SetGameMode(GAME_MODE_CAMPAIGN);
  GUIManager* gui = GUIManager::GetInstance();
  gui->SetRandomLoadingScreen();
  gui->ShowLoadingScreen();
  // The GUI's two values cleared here have no counterpart in this GUI manager.

  TownManager::GetInstance()->Initialize();
  ArtifactManager::GetInstance()->ResetForNewGame();
  InitializeMissions();

  game->InitNations();
  Vision::Error.SystemMessage("MissionManager::StartCampaign() Before InitWorld");
  BattleManager::GetInstance()->InitWorld(0, kWorldScenePath);
  Vision::Error.SystemMessage("MissionManager::StartCampaign() After InitWorld");
  // The new location also forgets the mouse handler's remembered entities.
  game->SetLocation(0);

  SettingsManager::GetInstance()->ApplySettings();

  GameSessionManager::GetInstance();
  WildLifeManager::GetInstance()->CreateBird(kSeagullScript);

  CallScenePostInit();
  Vision::Error.SystemMessage("MissionManager::StartCampaign() Executing GameScript");
  CallIfDefined(gameScript, "StartGame");

  Vision::Error.SystemMessage("MissionManager::StartCampaign() Loading missionscripts");
  ResetReputationSummary();
  UnloadMissionScripts();
  ClearLists(true);
  LoadStoryMissions();
  LoadFactionMissions();
  LoadSideQuests();

  for (const MissionData& row : m_story) {
    if (!row.open) continue;
    AddOngoingStoryMission(row);
    break;
  }
  Vision::Error.SystemMessage("MissionManager::StartCampaign() Missions loaded");

  AddStartingItems();

  PauseManager* pause = PauseManager::GetInstance();
  if (pause->IsAnyPaused() && !gui->WantsGamePause() && !gui->WantsFullPause()) {
    pause->SetFullPause(false);
    pause->SetGamePause(false);
    CloseWhenOpen(gui, WT_PAUSE);
  }

  Vision::Error.SystemMessage("MissionManager::StartCampaign() Init camera");
  BattleManager::GetInstance()->InitCamera();
  Vision::Error.SystemMessage("MissionManager::StartCampaign() Begin render");
  // Two frames draw the new world behind the loading screen.
  if (VisMainApp::HasInstance()) {
    VisMainApp::GetInstance()->RenderFrame();
    VisMainApp::GetInstance()->RenderFrame();
  }
  Vision::Error.SystemMessage("MissionManager::StartCampaign() DONE");
}

void MissionManager::AddStartingItems() {
  IVScriptInstance* gameScript = RequireGameScript();
  if (!gameScript || !gameScript->IsValid()) return;

  const int chosenWeapon = GUIManager::GetInstance()->GetSelectedSpecialWeapon();
  if (chosenWeapon != 0 && gameScript->HasFunction("GetSWMagicIndex")) {
    int index = 0;
    gameScript->ExecuteFunctionArg("GetSWMagicIndex", "i>i", chosenWeapon, &index);
    GameSessionManager* session = GameSessionManager::GetInstance();
    PlayerStats* player = session->GetPlayer();
    ShipStats* ship = session->GetPlayerControlledShip();
    if (player && ship) {
      player->UnlockWeapon(index);
      ship->AddSpecialWeapon(index);
      ship->SetCurrentSpecialWeapon(index);
    }
  }

  if (gameScript->HasFunction("GetCollectableScript")) {
    VString script;
    gameScript->ExecuteFunctionArg("GetCollectableScript", "i>s", kStartingCollectable, &script);
    if (!script.IsEmpty()) {
      CollectableEntityTemplate* templ = new CollectableEntityTemplate();
      templ->m_sCollectableScriptFile = script;
      VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*templ);
      if (entity && entity->IsOfType(CollectableEntity::GetClassTypeId()))
        static_cast<CollectableEntity*>(entity)->SaveToTemplate(*templ);
      if (entity) entity->DisposeObject();
      GameSessionManager::GetInstance()->AddCollectable(templ);
    }
  }
}

void MissionManager::EndCampaign(bool showMainMenu, bool rollCredits) {
  Vision::Error.SystemMessage("MissionManager::EndCampaign(%d, %d)", showMainMenu ? 1 : 0, rollCredits ? 1 : 0);
  IVScriptInstance* gameScript = RequireGameScript();
  if (!gameScript) return;

  GUIManager* gui = GUIManager::GetInstance();
  if (showMainMenu) {
    gui->SetLoadingScreen(FrameLoadingScreen::kStartPicture);
    gui->ShowLoadingScreen();
  }
  CloseWhenOpen(gui, WT_BATTLE_HUD);
  CloseWhenOpen(gui, WT_LAND_BATTLE_HUD);

  CallIfDefined(gameScript, "EndGame");

  ResetCampaignState();
  Vision::LoadWorld(nullptr);
  TownManager::GetInstance()->DeInitialize();

  if (!gui->IsExitingToWindows() && showMainMenu) gui->ShowFrame(WT_MAIN_MENU);
  if (rollCredits) {
    if (FrameMainMenu* menu = MainMenu(gui)) {
      menu->ResetTimer();
      menu->StartTransition(MMS_CREDITS_ROLL);
    }
  }
  if (gui->IsExitingToWindows()) {
    if (FrameMainMenu* menu = MainMenu(gui)) {
      menu->ResetTimer();
      menu->StartTransition(MMS_QUIT);
      menu->ResetTimer();
    }
  }

  ResetGravity();
  SpeechManager::CleanInstance();
  SpeechManager::GetInstance();

  UnloadMissionScripts();
  ClearLists(false);
  CallIfDefined(m_pMissionsScript, "DeInit");

  gui->HideLoadingScreen(5.0f, 1.0f);
}

void MissionManager::StartDlc(int level) {
  Vision::Error.SystemMessage("MissionManager::StartDlc() %d", level);
  IVScriptInstance* gameScript = RequireGameScript();
  if (!gameScript) return;

  m_iCurrentDlcLevel = level;
  GameManager* game = GameManager::GetInstance();
  game->SetGameMode(GAME_MODE_DLC);
  GUIManager* gui = GUIManager::GetInstance();
  gui->SetRandomLoadingScreen();
  gui->ShowLoadingScreen();

  LoadMissionsScript();
  // The level catalogue script is kept until the level has started.
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  VSmartPtr<IVScriptInstance> dlcScript = scripts->CreateScriptInstanceFromFile(kDlcMissionsScript);
  if (dlcScript)
    CallIfDefined(dlcScript, "Init");
  else
    Vision::Error.Warning("MissionManager: the catalogue script \"%s\" could not be loaded", kDlcMissionsScript);

  game->InitNations();
  Vision::Error.SystemMessage("MissionManager::StartDlc() Before LoadScene");
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->ExitScene();
  char scene[64];
  std::snprintf(scene, sizeof(scene), "DLC\\01\\scenes\\level_%02d\\level_%02d.vscene", level, level);
  session->LoadScene(scene, 1, 0, VString(""), 0, true);
  Vision::Error.SystemMessage("MissionManager::StartDlc() After LoadScene");

  TownManager::GetInstance()->Initialize();
  CallScenePostInit();
  Vision::Error.SystemMessage("MissionManager::StartDlc() Executing GameScript");
  CallIfDefined(gameScript, "StartDlc");

  Vision::Error.SystemMessage("MissionManager::StartDlc() Loading missionscripts");
  ResetReputationSummary();
  UnloadMissionScripts();
  ClearLists(true);
  LoadDlcMissions();

  if (level - 1 >= 0 && level - 1 < (int)m_dlc.size()) AddOngoingStoryMission(m_dlc[level - 1]);
  Vision::Error.SystemMessage("MissionManager::StartDlc() DONE");
}

void MissionManager::StartNextDlcMission(int level) {
  IVScriptInstance* gameScript = RequireGameScript();
  if (!gameScript) return;

  SpeechManager::CleanInstance();
  CallIfDefined(gameScript, "EndGame");
  ResetCampaignState();
  TownManager::GetInstance()->DeInitialize();
  ResetGravity();
  SpeechManager::GetInstance();
  CallIfDefined(m_pMissionsScript, "DeInit");
  ForgetMissionsScript();
  StartDlc(level);
}
