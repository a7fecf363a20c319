// The tutorial window.
#include "gui/FrameTutorial.h"

#include "Managers/LocalizationTable.h"
#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TutorialManager.h"
#include "engine/base/VisTimer.h"
#include "engine/sound/VSoundManager.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

using CeguiCompat::Try;

namespace {

const char* const kClose = "Tutorial/Window/ButtonClose";
const char* const kLeft = "Tutorial/Window/ButtonLeft";
const char* const kRight = "Tutorial/Window/ButtonRight";
// The voice delay once this page's voice has been started.
const float kVoiceStarted = -100.0f;
// The voice starts when the delay has come down to this.
const float kVoiceStartDelay = 0.2f;
// The pause before the next page of the queue speaks.
const float kNextPageDelay = 0.4f;

// The queue's owner; never made anew while the GUI is torn down.
TutorialManager* Tutorials() { return TutorialManager::HasInstance() ? TutorialManager::GetInstance() : nullptr; }

void SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window) Try("tutorial text", [&] { window->setText(text); });
}

}  // namespace

FrameTutorial::FrameTutorial() : BaseWindow(WT_TUTORIAL, "Tutorial.layout") {}

FrameTutorial::~FrameTutorial() { StopVoice(); }

bool FrameTutorial::HookComponents() {
  if (!Bind(kClose, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameTutorial::OnClose, this)) ||
      !Bind(kClose, CEGUI::Window::EventMouseEntersArea,
            CEGUI::Event::Subscriber(&FrameTutorial::OnCloseHoverIn, this)) ||
      !Bind(kClose, CEGUI::Window::EventMouseLeavesArea,
            CEGUI::Event::Subscriber(&FrameTutorial::OnCloseHoverOut, this)))
    return false;
  m_pCloseText = GetComponent("Tutorial/Window/ButtonClose/Text");
  m_pCloseText1 = GetComponent("Tutorial/Window/ButtonClose/Text1");
  SetCloseTexts("Woodstamp-20");

  CEGUI::Window* left = GetComponent(kLeft);
  CEGUI::Window* right = GetComponent(kRight);
  if (left) Try("left id", [&] { left->setID(0); });
  if (right) Try("right id", [&] { right->setID(1); });
  if (!Bind(left, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameTutorial::OnPage, this)) ||
      !Bind(right, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameTutorial::OnPage, this)))
    return false;

  m_pCount = GetComponent("Tutorial/Window/LabelTutorialCount");
  m_pCheckShow = GetComponent("Tutorial/Window/CheckShowTutorials");
  if (auto* check = dynamic_cast<CEGUI::ToggleButton*>(m_pCheckShow))
    Try("tick show tutorials", [&] { check->setSelected(true); });
  m_pText = GetComponent("Tutorial/Window/LabelText");
  m_pTitle = GetComponent("Tutorial/Window/LabelTitle");
  m_bPagedByHand = false;

  if (m_pRootWindow) {
    // The clean-up of closing also runs when the window is destroyed unasked (the
    // end of a game, the GUI's shutdown), so that no voice or lowered volume stays.
    if (!Bind(right, CEGUI::Window::EventDestructionStarted, CEGUI::Event::Subscriber(&FrameTutorial::OnClose, this)))
      return false;
    Try("tutorial in front", [&] {
      m_pRootWindow->setAlwaysOnTop(true);
      m_pRootWindow->moveToFront();
    });
    TutorialManager* tutorials = Tutorials();
    const bool fast = tutorials && tutorials->IsFastTutorial();
    // Opened fast (all seen pages at once), the window does not page on by itself.
    if (fast) m_bPagedByHand = true;
    m_fVoiceDelay = StartAnimation(fast ? "TutorialFast" : "Tutorial", m_pRootWindow);
    if (tutorials) tutorials->SetFastTutorial(false);
  }
  return BaseWindow::HookComponents();
}

void FrameTutorial::SetCloseTexts(const char* font) {
  const CEGUI::String text = CEGUI::String("[font='") + font + "']" + LocalizationTable::GetInstance()->GetText("str_CLOSE");
  SetText(m_pCloseText, text);
  SetText(m_pCloseText1, text);
}

bool FrameTutorial::OnCloseHoverIn(const CEGUI::EventArgs&) {
  SetCloseTexts("Woodstamp-18");
  return true;
}

bool FrameTutorial::OnCloseHoverOut(const CEGUI::EventArgs&) {
  SetCloseTexts("Woodstamp-20");
  return true;
}

void FrameTutorial::InitWindow(const VString& identifier, const VString& titleKey, const VString& textKey, int index) {
  if (identifier.CompareNoCase(m_sCurrentId.AsChar()) != 0) {
    MusicManager::GetInstance()->LowerMusicVolume(true);
    SoundManager::GetInstance()->SetConversation(true);
    StopVoice();
    m_sVoiceKey = textKey;
    m_sVoiceKey += "_VO";
  }
  m_sCurrentId = identifier;
  LocalizationTable* texts = LocalizationTable::GetInstance();
  SetText(m_pTitle, CEGUI::String("[font='SketchHeavyRegular-17'][colour='FF98D4F3']") + texts->GetText(titleKey.AsChar()));
  SetText(m_pText, texts->GetText(textKey.AsChar()));
  m_iIndex = index;
  UpdatePageCount();
}

void FrameTutorial::InitWindow(const Tutorial& tutorial) {
  TutorialManager* tutorials = Tutorials();
  InitWindow(tutorial.id, tutorial.text, tutorial.voice, tutorials ? tutorials->GetQueueIndex(tutorial.id.AsChar()) : -1);
}

void FrameTutorial::UpdatePageCount() {
  TutorialManager* tutorials = Tutorials();
  if (tutorials && tutorials->GetQueueIndex(m_sCurrentId.AsChar()) > 0)
    m_iIndex = tutorials->GetQueueIndex(m_sCurrentId.AsChar());
  char count[96];
  snprintf(count, sizeof(count), "[font='SketchHeavyRegular-13'][colour='FF98D4F3']%d/%d", m_iIndex,
           tutorials ? (int)tutorials->GetQueue().size() : 0);
  SetText(m_pCount, count);
}

bool FrameTutorial::OnPage(const CEGUI::EventArgs& args) {
  if (!m_pRootWindow) return false;
  m_bPagedByHand = true;
  TutorialManager* tutorials = Tutorials();
  if (!tutorials) return false;
  const CEGUI::Window* button = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  const Tutorial page = button && button->getID() == 1 ? tutorials->GetNextFromQueue(m_sCurrentId.AsChar())
                                                       : tutorials->GetPrevFromQueue(m_sCurrentId.AsChar());
  // At either end of the queue the page found is the one shown: nothing to do.
  if (tutorials->GetQueueIndex(page.id.AsChar()) < 0 || page.id == m_sCurrentId) return false;
  InitWindow(page);
  m_fVoiceDelay = -1.0f;
  return true;
}

bool FrameTutorial::OnClose(const CEGUI::EventArgs&) {
  TutorialManager* tutorials = Tutorials();
  auto* check = dynamic_cast<CEGUI::ToggleButton*>(m_pCheckShow);
  if (tutorials && check && !check->isSelected()) tutorials->Disable();
  StopVoice();
  RestoreVolume();
  if (tutorials) tutorials->ReleaseQueue();
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized()) {
    GUIManager* gui = GUIManager::GetInstance();
    if (gui->GetCurrentFrame() && gui->GetCurrentFrame()->GetWindowType() == m_eType) gui->SetCurrentFrame(nullptr);
    if (BaseWindow* open = gui->FindWindowA(m_eType)) open->RequestRemove();
  }
  return true;
}

void FrameTutorial::StopVoice() {
  if (!m_spVoice) return;
  m_spVoice->Stop();
  m_spVoice = nullptr;
}

void FrameTutorial::RestoreVolume() {
  if (MusicManager::HasInstance()) MusicManager::GetInstance()->LowerMusicVolume(false);
  if (SoundManager::HasInstance()) SoundManager::GetInstance()->SetConversation(false);
}

void FrameTutorial::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !GUIManager::HasInstance() || !m_pRootWindow->isVisible()) return;
  GUIManager* gui = GUIManager::GetInstance();
  Try("tutorial in front", [&] {
    m_pRootWindow->setAlwaysOnTop(true);
    m_pRootWindow->moveToFront();
  });

  if (gui->IsWindowVisible(WT_MAIN_MENU)) {
    if (TutorialManager* tutorials = Tutorials()) tutorials->ReleaseQueue();
    StopVoice();
    RestoreVolume();
    gui->CloseWindow(m_eType, false);
    return;
  }

  if (!m_spVoice) {
    if (m_fVoiceDelay > kVoiceStartDelay) {
      m_fVoiceDelay -= Vision::Timer.GetTimeDifference();
    } else if (m_fVoiceDelay != kVoiceStarted) {
      // A page without a spoken line gets no voice and waits for the player.
      const std::string file = LocalizationTable::GetInstance()->GetNarrowText(m_sVoiceKey.AsChar());
      m_spVoice = VSoundManager::GlobalManager().CreateSoundInstance(file.c_str(), 0, VSOUND_KEPT, 128);
      m_fVoiceDelay = kVoiceStarted;
    }
  } else if (!m_spVoice->IsPlaying()) {
    StopVoice();
    TutorialManager* tutorials = Tutorials();
    const Tutorial next = tutorials ? tutorials->GetNextFromQueue(m_sCurrentId.AsChar()) : Tutorial();
    if (tutorials && tutorials->GetQueueIndex(next.id.AsChar()) > 0 && next.id != m_sCurrentId && !m_bPagedByHand) {
      InitWindow(next);
      m_fVoiceDelay = kNextPageDelay;
    } else {
      RestoreVolume();
    }
  }
  BaseWindow::OnBeforeGUIUpdate();
}
