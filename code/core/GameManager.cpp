// Game manager: the event bus and the start and end of the game side.
#include "core/GameManager.h"

#include "Managers/SpeechManager.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"

CallbackManager GameManager::Callbacks;

namespace {
// Keys that count once per press: M, C, L, I, T, G and F.
const int kSingleHitScanCodes[] = {50, 46, 38, 23, 20, 34, 33};
const char* const kGameScript = "scripts\\GameScript.lua";
}  // namespace

GameManager::~GameManager() { OneTimeDeInit(); }

void GameManager::OneTimeInit() {
  m_bPlayTheGame = false;
  m_fCampaignEndCountdown = 0.0f;

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (scripts && !scripts->GetGameScript()) {
    if (IVScriptInstance* game = scripts->CreateScriptInstanceFromFile(kGameScript)) scripts->SetGameScript(game);
  }

  for (int scanCode : kSingleHitScanCodes) Vision::Key.SetSingleHitMode_SC(scanCode, true);
}

void GameManager::OneTimeDeInit() {
  GUIManager::CleanInstance();
  SpeechManager::CleanInstance();
}
