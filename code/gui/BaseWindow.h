// The base of every GUI frame: one layout's root window plus the frame's logic,
// with event binding (and its click sound), removal and pause requests, the
// slide-in from the right and animations that die with the frame.
#pragma once

#include "engine/base/VBase.h"
#include "gui/WindowTypes.h"

#include <CEGUI/String.h>
#include <CEGUI/SubscriberSlot.h>
#include <CEGUI/UDim.h>

#include <vector>

namespace CEGUI {
class AnimationInstance;
class EventArgs;
class Window;
}  // namespace CEGUI

class BaseWindow {
 public:
  BaseWindow();
  BaseWindow(WINDOW_TYPES type, const CEGUI::String& layout);
  // Destroys the frame's animation instances; the root window belongs to GUIManager.
  virtual ~BaseWindow();

  // Takes a copy of the kind's layout (loading the file when it was not preloaded),
  // then HookComponents. False without an initialised GUI, a type, a layout or a root.
  virtual bool Init();
  // Subclasses look up their widgets here and call the base.
  virtual bool HookComponents();
  virtual bool MessageFunction(int id, INT_PTR a, INT_PTR b);
  // The slide-in.
  virtual void OnBeforeGUIUpdate();
  virtual void OnAfterGUIUpdate() {}
  virtual void OnBeforeSceneUpdate() {}
  virtual void OnAfterSceneUpdate() {}
  // The root window comes in from the right over that many seconds.
  virtual void SetSlideIn(float seconds);
  // Closes a close-on-key frame on Return or Space released.
  virtual bool KeyUp(const CEGUI::EventArgs& args);

  WINDOW_TYPES GetWindowType() const { return m_eType; }
  void SetLayoutFile(const char* file);
  const CEGUI::String& GetLayout() const { return m_sLayout; }
  CEGUI::Window* GetRootWindow() const { return m_pRootWindow; }

  // Hidden and moved to the back at once; GUIManager deletes the frame after the GUI update.
  bool isRequestingRemove() const { return m_bRemoveRequested; }
  void RequestRemove();
  void CancelRemoveRequest();
  // Each change of a request updates GUIManager's pause wishes.
  bool IsRequestingPause() const { return m_bPauseRequested; }
  void RequestPause(bool pause);
  bool IsRequestingFullPause() const { return m_bFullPauseRequested; }
  void RequestFullPause(bool pause);
  void SetCloseOnKey(bool close) { m_bCloseOnKey = close; }

  // Subscribes a widget's event (clicks and activation also play the click sound).
  bool Bind(const CEGUI::String& widgetName, const CEGUI::String& eventName, CEGUI::SubscriberSlot slot);
  bool Bind(CEGUI::Window* window, const CEGUI::String& eventName, CEGUI::SubscriberSlot slot);
  void HookSound(CEGUI::Window* window, const CEGUI::String& eventName);
  bool ClickSound(const CEGUI::EventArgs& args);

  // A widget of this frame by the full name the layout gives it ("Frame/Child"); null when none.
  CEGUI::Window* GetComponent(const CEGUI::String& widgetName);
  // Starts an animation of "Animations.ceanim" on the target; its duration in
  // seconds, or 0 when it cannot start.
  float StartAnimation(const CEGUI::String& animationName, CEGUI::Window* target);
  int GetAnimationCount() const { return (int)m_animations.size(); }

 protected:
  // Frames shown many times at once (tags, bubbles, bars, indicators) each take a copy
  // of the layout whose widget names start with the copy's number: the next number
  // of the counter. False without a running GUI or when the layout cannot load.
  bool LoadNumberedCopy(int& counter, int* number = nullptr);
  CEGUI::Window* m_pRootWindow = nullptr;
  CEGUI::String m_sLayout;
  WINDOW_TYPES m_eType = WT_NONE;
  CEGUI::UDim m_storedX{0.0f, 0.0f};
  float m_fSlideTimer = 0.0f;
  bool m_bRemoveRequested = false;
  bool m_bPauseRequested = false;
  bool m_bFullPauseRequested = false;
  bool m_bCloseOnKey = false;
  std::vector<CEGUI::AnimationInstance*> m_animations;

 private:
  void SetSlideOffset();
};
