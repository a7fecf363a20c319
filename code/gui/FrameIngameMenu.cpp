// The in-game menu.
#include "gui/FrameIngameMenu.h"

#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TutorialManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

namespace {

const char* const kDimmedLight = "tl:FFCCCCCC tr:FFCCCCCC bl:FFCCCCCC br:FFCCCCCC";
const char* const kDimmedDark = "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000";
const char* const kActiveLight = "tl:FFF9BC66 tr:FFF9BC66 bl:FFF9BC66 br:FFF9BC66";
const char* const kActiveDark = "tl:FF3C1616 tr:FF3C1616 bl:FF3C1616 br:FF3C1616";

}  // namespace

FrameIngameMenu::FrameIngameMenu() : BaseWindow(WT_INGAME_MENU, "Ingame.layout") {
  PauseManager::GetInstance()->SetFullPause(true);
}

FrameIngameMenu::~FrameIngameMenu() {
  RequestFullPause(false);
  RequestPause(false);
  // At shutdown the pause manager may already be gone; nothing is paused then.
  if (PauseManager::HasInstance()) PauseManager::GetInstance()->SetFullPause(false);
}

bool FrameIngameMenu::HookComponents() {
  using CEGUI::Event;
  using CEGUI::PushButton;
  bool ok = Bind("IngameMenu/ButtonResume", PushButton::EventClicked, Event::Subscriber(&FrameIngameMenu::OnResume, this));
  ok = ok && Bind("IngameMenu/ButtonOptions", PushButton::EventClicked,
                  Event::Subscriber(&FrameIngameMenu::OnOptions, this));
  ok = ok && Bind("IngameMenu/ButtonSave", PushButton::EventClicked, Event::Subscriber(&FrameIngameMenu::OnSave, this));
  ok = ok && Bind("IngameMenu/ButtonLoad", PushButton::EventClicked, Event::Subscriber(&FrameIngameMenu::OnLoad, this));
  ok = ok && Bind("IngameMenu/ButtonExitToWindows", PushButton::EventClicked,
                  Event::Subscriber(&FrameIngameMenu::OnExitToWindows, this));
  ok = ok && Bind("IngameMenu", CEGUI::Window::EventKeyUp, Event::Subscriber(&FrameIngameMenu::KeyUp, this));
  ok = ok && Bind("IngameMenu/ButtonExit", PushButton::EventClicked, Event::Subscriber(&FrameIngameMenu::OnExit, this));
  ok = ok && Bind("IngameMenu/ButtonTutorials", PushButton::EventClicked,
                  Event::Subscriber(&FrameIngameMenu::OnTutorials, this));
  return ok;
}

bool FrameIngameMenu::Init() {
  if (!BaseWindow::Init()) return false;
  CEGUI::Window* save = GetComponent("IngameMenu/ButtonSave");
  CEGUI::Window* load = GetComponent("IngameMenu/ButtonLoad");
  const bool talking = SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation();
  if (GameManager::GetInstance()->GetLocation() == 0 && !talking) {
    CeguiCompat::Try("save and load enabled", [&] {
      if (save) save->setEnabled(true);
      if (load) load->setEnabled(true);
    });
  } else {
    CeguiCompat::Try("save disabled", [&] {
      if (save) save->setEnabled(false);
    });
    SetTextColours("IngameMenu/ButtonSave/TextSave1", kDimmedLight);
    SetTextColours("IngameMenu/ButtonSave/TextSave", kDimmedDark);
  }

  const bool anySave = SaveGameManagerProto::GetInstance()->GetNewestSlot() != -1;
  CeguiCompat::Try("load button", [&] {
    if (load) load->setEnabled(anySave);
  });
  SetTextColours("IngameMenu/ButtonLoad/TextLoad1", anySave ? kActiveLight : kDimmedLight);
  SetTextColours("IngameMenu/ButtonLoad/TextLoad", anySave ? kActiveDark : kDimmedDark);
  return true;
}

void FrameIngameMenu::SetTextColours(const char* widget, const char* colours) {
  if (CEGUI::Window* label = GetComponent(widget))
    CeguiCompat::Try("text colours", [&] { label->setProperty("TextColours", colours); });
}

bool FrameIngameMenu::KeyUp(const CEGUI::EventArgs&) { return true; }

void FrameIngameMenu::Resume() {
  RequestFullPause(false);
  RequestPause(false);
  PauseManager::GetInstance()->SetFullPause(false);
  GUIManager::GetInstance()->CloseWindow(m_eType, false);
}

void FrameIngameMenu::ShowAbove(WINDOW_TYPES type) {
  GUIManager* gui = GUIManager::GetInstance();
  if (BaseWindow* frame = gui->GetWindow(type)) gui->ShowWindow(frame, nullptr);
}

void FrameIngameMenu::Exit(bool toWindows) {
  GUIManager* gui = GUIManager::GetInstance();
  gui->SetRandomLoadingScreen();
  gui->ShowLoadingScreen();
  SpeechManager::CleanInstance();
  // The campaign's end then has the main menu quit the program.
  if (toWindows) gui->SetExitToWindows();
  gui->CloseWindow(m_eType, false);
  gui->CloseAllWindows();
  MissionManager::GlobalManager().EndCampaign(true, false);
}

namespace {

// Options, save and load open only over a shown screen.
bool CanOpenAbove() {
  GUIManager* gui = GUIManager::GetInstance();
  const BaseWindow* current = gui->GetCurrentFrame();
  return gui->IsInitialized() && current && current->GetRootWindow();
}

}  // namespace

bool FrameIngameMenu::OnResume(const CEGUI::EventArgs&) {
  Resume();
  return true;
}

bool FrameIngameMenu::OnOptions(const CEGUI::EventArgs&) {
  if (CanOpenAbove()) ShowAbove(WT_OPTIONS);
  return true;
}

bool FrameIngameMenu::OnSave(const CEGUI::EventArgs&) {
  if (!CanOpenAbove()) return true;
  GUIManager::GetInstance()->SetSaveWindowSelected(true);
  ShowAbove(WT_SAVE_LOAD);
  return true;
}

bool FrameIngameMenu::OnLoad(const CEGUI::EventArgs&) {
  if (!CanOpenAbove()) return true;
  GUIManager::GetInstance()->SetSaveWindowSelected(false);
  ShowAbove(WT_SAVE_LOAD);
  return true;
}

bool FrameIngameMenu::OnTutorials(const CEGUI::EventArgs&) {
  Resume();
  TutorialManager* tutorials = TutorialManager::GetInstance();
  tutorials->SetReplayTutorials(true);
  tutorials->ShowAllSeenTutorials();
  return true;
}

bool FrameIngameMenu::OnExit(const CEGUI::EventArgs&) {
  Exit(false);
  return true;
}

bool FrameIngameMenu::OnExitToWindows(const CEGUI::EventArgs&) {
  Exit(true);
  return true;
}
