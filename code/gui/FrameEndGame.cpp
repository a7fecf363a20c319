// The end-of-battle frame.
#include "gui/FrameEndGame.h"

#include "Managers/BattleManager.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>
#include <string>

FrameEndGame::FrameEndGame() : BaseWindow(WT_END_GAME, "EndGame.layout") {}

FrameEndGame::~FrameEndGame() {}

bool FrameEndGame::HookComponents() {
  if (!Bind("EndGame/ButtonReturn", CEGUI::PushButton::EventClicked,
            CEGUI::Event::Subscriber(&FrameEndGame::OnReturn, this)))
    return false;
  CEGUI::Window* frame = GetComponent("EndGame");
  if (!frame) return true;
  // Active, so that the Return key reaches it.
  CeguiCompat::Try("activate end frame", [&] { frame->activate(); });
  return Bind(frame, CEGUI::Window::EventKeyUp, CEGUI::Event::Subscriber(&FrameEndGame::KeyUp, this));
}

bool FrameEndGame::KeyUp(const CEGUI::EventArgs& args) {
  if (static_cast<const CEGUI::KeyEventArgs&>(args).scancode != CEGUI::Key::Return) return false;
  return OnReturn(args);
}

bool FrameEndGame::SetBattleEndText(unsigned int playerShips, unsigned int enemyShips) {
  CEGUI::Window* label = GetComponent("EndGame/EndText");
  if (!label) return true;
  std::string text = "Battle over!\n";
  if (playerShips > enemyShips)
    text += "The Player won the battle\n\n";
  else if (playerShips < enemyShips)
    text += "The Enemy won the battle\n\n";
  else
    text += "The Battle was tie\n\n";
  char counts[96];
  snprintf(counts, sizeof(counts), "\nPlayer ships left: %u\nEnemy ships left: %u\n\n", playerShips, enemyShips);
  text += counts;
  CeguiCompat::Try("battle end text", [&] { label->setText(CeguiCompat::ToGui(text)); });
  return true;
}

bool FrameEndGame::OnReturn(const CEGUI::EventArgs&) {
  BattleManager::GetInstance()->ResetBattle();
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsInitialized()) {
    if (gui->GetCurrentFrame() && gui->GetCurrentFrame()->GetWindowType() == m_eType) gui->SetCurrentFrame(nullptr);
    if (BaseWindow* open = gui->FindWindowA(m_eType)) open->RequestRemove();
  }
  gui->CloseAllWindows();
  gui->ShowFrame(WT_MAIN_MENU);
  return true;
}
