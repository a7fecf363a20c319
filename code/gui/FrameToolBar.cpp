// The action tool bar.
#include "gui/FrameToolBar.h"

#include "Managers/TutorialManager.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameMap.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using CeguiCompat::Try;

namespace {

const char* const kButtonNames[FrameToolBar::kButtons] = {
    "ToolBar/Window/ButtonOptions",        "ToolBar/Window/List/ButtonPlayer", "ToolBar/Window/List/ButtonTreasure",
    "ToolBar/Window/List/ButtonMap",       "ToolBar/Window/List/ButtonLog",    "ToolBar/Window/List/ButtonSkull",
};

const char* const kTutorials[] = {
    "str_TUTORIAL_ACTION_MENU_PART1", "str_TUTORIAL_ACTION_MENU_PART2", "str_TUTORIAL_ACTION_MENU_PART3",
    "str_TUTORIAL_ACTION_MENU_PART4", "str_TUTORIAL_ACTION_MENU_PART5",
};

const char* const kOrdinals[] = {"1st", "2nd", "3rd", "4th", "5th"};

// The GUI manager's exclamation flags by button.
const int kPlayerFlag = 0;
const int kLogFlag = 3;
const int kFlags = 5;

const float kPulseRate = 4.0f;
const float kPulseWrap = 6.283f;

std::string Child(const char* parent, const char* child) { return std::string(parent) + "/" + child; }

}  // namespace

FrameToolBar::FrameToolBar() : BaseWindow(WT_TOOLBAR, "ToolBar.layout") {}

FrameToolBar::~FrameToolBar() = default;

bool FrameToolBar::HookComponents() {
  m_pList = GetComponent("ToolBar/Window/List");
  if (m_pList) Try("fold list", [&] { m_pList->hide(); });
  for (int i = 0; i < kButtons; ++i) {
    m_buttons[i] = GetComponent(kButtonNames[i]);
    if (!Bind(m_buttons[i], CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameToolBar::OnClick, this)))
      return false;
    Try("button id", [&] { m_buttons[i]->setID((CEGUI::uint)(i + 1)); });
  }
  m_pulsingGlows.clear();
  for (int i = 0; i < kButtons; ++i) {
    const std::string mark = Child(kButtonNames[i], "Exclamation");
    m_exclamations[i] = GetComponent(mark);
    if (m_exclamations[i]) Try("hide mark", [&] { m_exclamations[i]->hide(); });
  }
  for (int i = 0; i < kButtons; ++i) {
    m_glows[i] = GetComponent(Child(kButtonNames[i], "Exclamation/Glow"));
    if (!m_glows[i]) continue;
    m_pulsingGlows.push_back(m_glows[i]);
    Try("hide glow", [&] { m_glows[i]->hide(); });
  }
  m_fPulseTime = 0.0f;
  return BaseWindow::HookComponents();
}

void FrameToolBar::LevelUp() {
  if (m_pList) GUIManager::GetInstance()->SetExclamationForButton(kPlayerFlag, true);
}

void FrameToolBar::NewMission() {
  if (m_pList) GUIManager::GetInstance()->SetExclamationForButton(kLogFlag, true);
}

void FrameToolBar::Rudder(bool in, bool reverse) {
  // The previous fold may still run: its instances go, so that the two never fight
  // over the buttons and clicking adds no instances for the game's whole length.
  if (!m_animations.empty()) {
    Try("stop rudder", [&] {
      for (CEGUI::AnimationInstance* instance : m_animations) {
        instance->setTargetWindow(nullptr);
        CEGUI::AnimationManager::getSingleton().destroyAnimationInstance(instance);
      }
    });
    m_animations.clear();
  }
  const Button order[] = {kPlayer, kTreasure, kMap, kLog, kSkull};
  float last = 0.0f;
  for (int i = 0; i < 5; ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "%s_%s", in ? "RudderIn" : "RudderOut", kOrdinals[i]);
    last = StartAnimation(name, GetButton(order[reverse ? 4 - i : i]));
  }
  if (!in) m_fClosingTimer = last;
}

bool FrameToolBar::OnClick(const CEGUI::EventArgs& args) {
  const CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  if (!m_pList || !window) return false;
  TutorialManager* tutorials = TutorialManager::GetInstance();
  for (const char* tutorial : kTutorials) tutorials->ShowTutorial(tutorial);

  GUIManager* gui = GUIManager::GetInstance();
  switch ((int)window->getID()) {
    case kOptions:
      if (!m_pList->isVisible()) {
        Rudder(true, false);
        m_fClosingTimer = kKeepOpen;
        Try("unfold list", [&] { m_pList->show(); });
      } else {
        FoldIn(true);
      }
      break;
    case kPlayer:
      FoldIn(false);
      gui->CloseClosablesOnKeyEvent();
      gui->ShowWindow(WT_CHARACTER_SCREEN, nullptr);
      break;
    case kTreasure:
      FoldIn(false);
      gui->CloseClosablesOnKeyEvent();
      gui->ShowWindow(WT_INVENTORY, nullptr);
      break;
    case kMap:
      FoldIn(true);
      gui->CloseClosablesOnKeyEvent();
      if (auto* map = dynamic_cast<FrameMap*>(gui->GetWindow(WT_MAP))) map->ToggleMap();
      break;
    case kLog:
      FoldIn(false);
      gui->CloseClosablesOnKeyEvent();
      gui->ShowWindow(WT_CAPTAINS_LOG, nullptr);
      break;
    case kSkull:
      FoldIn(true);
      gui->CloseClosablesOnKeyEvent();
      gui->ShowWindow(WT_INGAME_MENU, nullptr);
      break;
    default:
      Try("toggle list", [&] { m_pList->setVisible(!m_pList->isVisible()); });
      break;
  }
  return true;
}

void FrameToolBar::ShowMark(Button button, bool show) {
  for (CEGUI::Window* window : {GetExclamation(button), GetGlow(button)})
    if (window && window->isVisible() != show) Try("tool bar mark", [&] { window->setVisible(show); });
}

void FrameToolBar::OnBeforeGUIUpdate() {
  if (m_pRootWindow && m_pRootWindow->isVisible()) {
    const float dt = Vision::Timer.GetTimeDifference();
    const bool listShown = m_pList && m_pList->isVisible();
    CEGUI::Window* optionsGlow = GetGlow(kOptions);
    if ((optionsGlow && optionsGlow->isVisible()) || listShown) {
      m_fPulseTime += dt;
      if (m_fPulseTime > kPulseWrap) m_fPulseTime = 0.0f;
      const float alpha = std::max(0.0f, std::sin(m_fPulseTime * kPulseRate));
      for (CEGUI::Window* glow : m_pulsingGlows)
        if (glow->isVisible() && glow->getAlpha() != alpha) Try("glow", [&] { glow->setAlpha(alpha); });
    }

    if (m_fClosingTimer < 0.0f && m_fClosingTimer != kKeepOpen && listShown)
      Try("close list", [&] { m_pList->hide(); });
    else if (m_fClosingTimer >= 0.0f)
      m_fClosingTimer -= dt;

    GUIManager* gui = GUIManager::GetInstance();
    bool anyFlag = false;
    for (int i = 0; i < kFlags; ++i) anyFlag = anyFlag || gui->GetExclamationForButton(i);
    ShowMark(kPlayer, gui->GetExclamationForButton(kPlayerFlag));
    ShowMark(kLog, gui->GetExclamationForButton(kLogFlag));
    ShowMark(kOptions, anyFlag && !(m_pList && m_pList->isVisible()));
  }
  BaseWindow::OnBeforeGUIUpdate();
}
