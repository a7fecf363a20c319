// The base of every GUI frame.
#include "gui/BaseWindow.h"

#include "Managers/SoundManager.h"
#include "engine/base/VisTimer.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

using CeguiCompat::Try;

namespace {

bool GuiReady() { return GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized(); }

// Pixels per second of slide-in left.
const float kSlideSpeed = 5000.0f;
// The slide-in never jumps by more than a 30th of a second.
const float kMaxSlideStep = 1.0f / 30.0f;

}  // namespace

BaseWindow::BaseWindow() = default;

BaseWindow::BaseWindow(WINDOW_TYPES type, const CEGUI::String& layout) : m_sLayout(layout), m_eType(type) {}

BaseWindow::~BaseWindow() {
  if (GuiReady()) {
    for (CEGUI::AnimationInstance* instance : m_animations) {
      Try("destroy animation", [&] {
        instance->setTargetWindow(nullptr);
        CEGUI::AnimationManager::getSingleton().destroyAnimationInstance(instance);
      });
    }
  }
  m_animations.clear();
  if (GUIManager::HasInstance()) GUIManager::GetInstance()->OnFrameDeleted(this);
}

void BaseWindow::SetLayoutFile(const char* file) { m_sLayout = CeguiCompat::ToGui(file ? file : ""); }

bool BaseWindow::Init() {
  if (!GuiReady() || m_eType == WT_NONE || m_sLayout.empty()) return false;
  GUIManager* gui = GUIManager::GetInstance();
  m_pRootWindow = gui->GetLayout(m_eType, nullptr);
  if (!m_pRootWindow) m_pRootWindow = gui->LoadLayout(m_eType, m_sLayout.c_str());
  if (!m_pRootWindow) return false;
  return HookComponents();
}

bool BaseWindow::HookComponents() {
  if (m_pRootWindow && m_bCloseOnKey)
    return Bind(m_pRootWindow, CEGUI::Window::EventKeyUp, CEGUI::Event::Subscriber(&BaseWindow::KeyUp, this));
  return true;
}

bool BaseWindow::MessageFunction(int, INT_PTR, INT_PTR) { return false; }

bool BaseWindow::KeyUp(const CEGUI::EventArgs& args) {
  const auto& key = static_cast<const CEGUI::KeyEventArgs&>(args);
  if (m_bCloseOnKey && (key.scancode == CEGUI::Key::Return || key.scancode == CEGUI::Key::Space) &&
      m_eType != WT_NONE)
    GUIManager::GetInstance()->CloseWindow(m_eType, false);
  return true;
}

bool BaseWindow::Bind(const CEGUI::String& widgetName, const CEGUI::String& eventName, CEGUI::SubscriberSlot slot) {
  return Bind(GetComponent(widgetName), eventName, slot);
}

bool BaseWindow::Bind(CEGUI::Window* window, const CEGUI::String& eventName, CEGUI::SubscriberSlot slot) {
  // A slot that is not subscribed still owns its functor.
  if (!window || !Try("bind", [&] { window->subscribeEvent(eventName, slot); })) {
    slot.cleanup();
    return false;
  }
  HookSound(window, eventName);
  return true;
}

void BaseWindow::HookSound(CEGUI::Window* window, const CEGUI::String& eventName) {
  if (!window) return;
  if (eventName != CEGUI::PushButton::EventClicked && eventName != CEGUI::Window::EventMouseClick &&
      eventName != CEGUI::Window::EventActivated)
    return;
  Try("click sound", [&] {
    window->subscribeEvent(eventName, CEGUI::Event::Subscriber(&BaseWindow::ClickSound, this));
  });
}

bool BaseWindow::ClickSound(const CEGUI::EventArgs&) {
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_INTERFACE_CLICK, 1.0f, VisVector_cl(0.0f, 0.0f, 0.0f), 10.0f,
                                            400.0f, false);
  return true;
}

CEGUI::Window* BaseWindow::GetComponent(const CEGUI::String& widgetName) {
  if (!GuiReady()) return nullptr;
  return CeguiCompat::FindWidget(m_pRootWindow, CeguiCompat::ToUtf8(widgetName));
}

float BaseWindow::StartAnimation(const CEGUI::String& animationName, CEGUI::Window* target) {
  if (!GuiReady() || !target) return 0.0f;
  float duration = 0.0f;
  Try("start animation", [&] {
    CEGUI::AnimationManager& manager = CEGUI::AnimationManager::getSingleton();
    if (!manager.isAnimationPresent(animationName)) return;
    CEGUI::AnimationInstance* instance = manager.instantiateAnimation(animationName);
    if (!instance) return;
    m_animations.push_back(instance);
    instance->setTargetWindow(target);
    instance->start(true);
    duration = instance->getDefinition()->getDuration();
  });
  return duration;
}

void BaseWindow::RequestRemove() {
  if (m_pRootWindow) {
    Try("hide frame", [&] {
      m_pRootWindow->hide();
      m_pRootWindow->moveToBack();
    });
  }
  m_bRemoveRequested = true;
  if (m_bPauseRequested) {
    m_bPauseRequested = false;
    GUIManager::GetInstance()->UpdateGamePauseStatus();
  }
}

void BaseWindow::CancelRemoveRequest() {
  if (m_pRootWindow) {
    Try("show frame", [&] {
      m_pRootWindow->show();
      m_pRootWindow->moveToFront();
    });
  }
  m_bRemoveRequested = false;
}

void BaseWindow::RequestPause(bool pause) {
  if (pause == m_bPauseRequested) return;
  m_bPauseRequested = pause;
  GUIManager::GetInstance()->UpdateGamePauseStatus();
}

void BaseWindow::RequestFullPause(bool pause) {
  if (pause == m_bFullPauseRequested) return;
  m_bFullPauseRequested = pause;
  GUIManager::GetInstance()->UpdateFullPauseStatus();
}

void BaseWindow::SetSlideOffset() {
  const CEGUI::UDim x(m_storedX.d_scale, m_storedX.d_offset + m_fSlideTimer * kSlideSpeed);
  if (m_pRootWindow->getXPosition() != x) m_pRootWindow->setXPosition(x);
}

void BaseWindow::SetSlideIn(float seconds) {
  m_fSlideTimer = seconds;
  if (!m_pRootWindow) return;
  Try("slide in", [&] {
    m_storedX = m_pRootWindow->getXPosition();
    SetSlideOffset();
  });
}

void BaseWindow::OnBeforeGUIUpdate() {
  if (m_fSlideTimer <= 0.0f) return;
  float step = Vision::Timer.GetTimeDifference();
  if (step > kMaxSlideStep) step = kMaxSlideStep;
  m_fSlideTimer -= step;
  if (!m_pRootWindow) return;
  Try("slide in", [&] {
    if (m_fSlideTimer > 0.0f) {
      SetSlideOffset();
    } else if (m_pRootWindow->getXPosition() != m_storedX) {
      m_pRootWindow->setXPosition(m_storedX);
    }
  });
}

bool BaseWindow::LoadNumberedCopy(int& counter, int* number) {
  if (!GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return false;
  GUIManager* gui = GUIManager::GetInstance();
  const int n = ++counter;
  if (number) *number = n;
  const std::string prefix = std::to_string(n);
  m_pRootWindow = gui->GetLayout(m_eType, prefix.c_str());
  if (!m_pRootWindow && gui->LoadLayout(m_eType, CeguiCompat::ToUtf8(m_sLayout).c_str())) {
    // LoadLayout hands out an unnumbered copy first; the frame keeps a numbered one.
    m_pRootWindow = gui->GetLayout(m_eType, prefix.c_str());
  }
  return m_pRootWindow != nullptr;
}
