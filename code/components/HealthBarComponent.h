// The health bar over a ship, a soldier or a building: shown for a while on
// request, then faded out. Its frame is not drawn yet: the states, the timers and
// the alpha the frame will take run without it.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class HealthBarComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(HealthBarComponent)
 public:
  enum BarState { STATE_FADING_IN = 0, STATE_SHOWN = 1, STATE_FADING_OUT = 2, STATE_HIDDEN = 3 };
  // Hold timer of a hidden bar.
  static constexpr float HOLD_HIDDEN = -10.0f;

  HealthBarComponent();
  ~HealthBarComponent() override;

  // Ships, soldiers and buildings only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  virtual void CommonInit();
  virtual void DeInit();
  // Per frame: a hidden owner hides the bar, the player's low-hit-point ship keeps
  // it up, then fade in (three times the fade speed), hold, fade out, and removal
  // from the owner once hidden when asked for.
  virtual void Update();
  // Shows the bar for the seconds (0: until Hide); ignored while held without end
  // or while the owner is shown in no render context.
  virtual void Show(float seconds);
  virtual void SetFadeSpeed(float speed) { m_fFadeSpeed = speed; }
  virtual void Hide();
  virtual void SetRemoveWhenHidden(bool remove) { m_bRemoveWhenHidden = remove; }

  int GetState() const { return m_iState; }
  float GetHoldTimer() const { return m_fHoldTimer; }
  float GetFadeSpeed() const { return m_fFadeSpeed; }
  bool GetRemoveWhenHidden() const { return m_bRemoveWhenHidden; }
  float GetAlpha() const { return m_fAlpha; }

 private:
  int m_iState = STATE_HIDDEN;
  float m_fHoldTimer = HOLD_HIDDEN;
  float m_fFadeSpeed = 1.0f;
  bool m_bRemoveWhenHidden = false;
  // The frame's alpha, kept here while no frame is drawn.
  float m_fAlpha = 0.0f;
};
