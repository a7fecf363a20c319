// The health bar over a ship, a soldier or a building: shown for a while on
// request, then faded out. (For now without its GUI frame: the state and timers only.)
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

 private:
  int m_iState = STATE_HIDDEN;
  float m_fHoldTimer = HOLD_HIDDEN;
  float m_fFadeSpeed = 1.0f;
  bool m_bRemoveWhenHidden = false;
};
