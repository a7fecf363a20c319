// The joke-in-a-bottle frame.
#include "gui/FrameJokeInBottle.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SoundManager.h"
#include "engine/base/VisTimer.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

using CeguiCompat::Try;

namespace {

// Every child of a hovered button gets the font: smaller under the mouse.
void SetChildFonts(const CEGUI::EventArgs& args, const char* font) {
  CEGUI::Window* button = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  if (!button) return;
  Try("hover font", [&] {
    for (size_t i = 0; i < button->getChildCount(); ++i) {
      CEGUI::Window* child = button->getChildAtIdx(i);
      if (child->isPropertyPresent("Font")) child->setProperty("Font", font);
    }
  });
}

bool ButtonHoverIn(const CEGUI::EventArgs& args) {
  SetChildFonts(args, "Woodstamp-18");
  return true;
}

bool ButtonHoverOut(const CEGUI::EventArgs& args) {
  SetChildFonts(args, "Woodstamp-20");
  return true;
}

void Place(CEGUI::Window* window, float x, float y) {
  if (!window) return;
  Try("scroll position", [&] {
    window->setPosition(CEGUI::UVector2(CEGUI::UDim(0.5f, x), CEGUI::UDim(0.5f, y)));
  });
}

}  // namespace

FrameJokeInBottle::FrameJokeInBottle() : BaseWindow(WT_JOKE_IN_BOTTLE, "JokeInBottle.layout") {}

FrameJokeInBottle::~FrameJokeInBottle() = default;

bool FrameJokeInBottle::HookComponents() {
  const char* const close = "JokeInBottle/JokeFrame/ButtonFrame/ButtonClose";
  if (!Bind(close, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameJokeInBottle::OnClose, this)) ||
      !Bind(close, CEGUI::Window::EventMouseEntersArea, CEGUI::Event::Subscriber(&ButtonHoverIn)) ||
      !Bind(close, CEGUI::Window::EventMouseLeavesArea, CEGUI::Event::Subscriber(&ButtonHoverOut)))
    return false;

  m_pJokeFrame = GetComponent("JokeInBottle/JokeFrame");
  m_pLeftScroll = GetComponent("JokeInBottle/JokeFrame/LeftScroll");
  m_pRightScroll = GetComponent("JokeInBottle/JokeFrame/RightScroll");
  m_pCenterScroll = GetComponent("JokeInBottle/JokeFrame/CenterScroll");
  m_pTitleFrame = GetComponent("JokeInBottle/JokeFrame/TitleFrame");
  m_pButtonFrame = GetComponent("JokeInBottle/JokeFrame/ButtonFrame");
  m_pCheckShowJokes = GetComponent("JokeInBottle/JokeFrame/ButtonFrame/CheckShowJokes");
  m_pTitle = GetComponent("JokeInBottle/JokeFrame/TitleFrame/Title");
  m_pJokeCounter = GetComponent("JokeInBottle/JokeFrame/TitleFrame/JokeCounterLabel");
  m_pLabelShowJokes = GetComponent("JokeInBottle/JokeFrame/ButtonFrame/LabelShowJokes");
  m_pJokeText = GetComponent("JokeInBottle/JokeFrame/CenterScroll/JokeText");

  if (auto* check = dynamic_cast<CEGUI::ToggleButton*>(m_pCheckShowJokes))
    Try("tick show jokes", [&] { check->setSelected(true); });
  LocalizationTable* texts = LocalizationTable::GetInstance();
  if (m_pTitle) Try("joke title", [&] { m_pTitle->setText(texts->GetText("str_JOKE_FOUND")); });
  if (m_pLabelShowJokes)
    Try("show jokes label", [&] { m_pLabelShowJokes->setText(texts->GetText("str_SHOW_JOKES")); });
  return BaseWindow::HookComponents();
}

void FrameJokeInBottle::InitWindow(const CEGUI::String& text, bool) {
  const int count = LocalizationTable::GetInstance()->GetJokeCount();
  const int read = count - JokeManager::GetInstance()->GetUnseenCount();
  char counter[32];
  snprintf(counter, sizeof(counter), "%d/%d", read, count);
  m_sCounter = counter;
  m_sText = text;
  if (m_pJokeCounter) Try("joke counter", [&] { m_pJokeCounter->setText(m_sCounter); });
  if (m_pJokeText) Try("joke text", [&] { m_pJokeText->setText(m_sText); });
  PlaceScroll(0.0f);
  m_fAnimationTimer = m_fAnimationDuration;
  m_bAnimating = true;
}

void FrameJokeInBottle::PlaceScroll(float t) {
  Place(m_pLeftScroll, -65.0f - 227.0f * t, -73.0f);
  Place(m_pRightScroll, 237.0f * t - 9.0f, -102.0f);
  Place(m_pCenterScroll, -34.0f - 229.0f * t, -85.0f);
  if (m_pCenterScroll) Try("scroll width", [&] { m_pCenterScroll->setWidth(CEGUI::UDim(0.0f, 464.0f * t + 61.0f)); });
}

void FrameJokeInBottle::OnBeforeGUIUpdate() {
  if (!m_bAnimating || !GUIManager::GetInstance()->IsWindowVisible(m_eType)) return;
  m_fAnimationTimer -= Vision::Timer.GetTimeDifference();
  if (m_fAnimationTimer > 0.0f) {
    PlaceScroll((m_fAnimationDuration - m_fAnimationTimer) / m_fAnimationDuration);
  } else {
    PlaceScroll(1.0f);
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_JOKE, 1.0f, VisVector_cl(0.0f, 0.0f, 0.0f), 10.0f, 400.0f,
                                              false);
    m_bAnimating = false;
  }
  BaseWindow::OnBeforeGUIUpdate();
}

bool FrameJokeInBottle::OnClose(const CEGUI::EventArgs&) {
  auto* check = dynamic_cast<CEGUI::ToggleButton*>(m_pCheckShowJokes);
  if (check && !check->isSelected()) JokeManager::GetInstance()->DisableBottleJokes();
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsInitialized()) {
    if (gui->GetCurrentFrame() && gui->GetCurrentFrame()->GetWindowType() == m_eType) gui->SetCurrentFrame(nullptr);
    if (BaseWindow* open = gui->FindWindowA(m_eType)) open->RequestRemove();
  }
  return true;
}
