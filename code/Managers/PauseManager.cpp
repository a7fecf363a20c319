// The two pause states of the game.
#include "Managers/PauseManager.h"

#include "Managers/SpeechManager.h"
#include "gui/BaseWindow.h"
#include "gui/GUIManager.h"

PauseManager::~PauseManager() = default;

void PauseManager::SetFullPause(bool pause) {
  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  if (!pause && gui && gui->WantsFullPause()) return;
  if (pause == m_bFullPaused) return;
  m_bFullPaused = pause;
  if (!gui) return;
  if (m_bFullPaused) {
    BaseWindow* current = gui->GetCurrentFrame();
    if (gui->IsInitialized() && current && current->GetRootWindow()) {
      if (BaseWindow* frame = gui->GetWindow(WT_PAUSE)) gui->ShowWindow(frame, nullptr);
    }
  } else {
    gui->CloseWindow(WT_PAUSE, false);
  }
}

void PauseManager::SetGamePause(bool pause) {
  if (!pause && GUIManager::HasInstance() && GUIManager::GetInstance()->WantsGamePause()) return;
  if (!pause && SpeechManager::HasInstance() && SpeechManager::GetInstance()->WantsPause()) return;
  m_bGamePaused = pause;
}
