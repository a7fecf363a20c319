// The health bar over a ship, a soldier or a building: shown for a while on
// request, then faded out; kept over the owner's head, filled with its health,
// red for enemies, pulsing for the player's badly hurt ship or hero.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class FrameHealthBar;

class HealthBarComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(HealthBarComponent)
 public:
  enum BarState { STATE_FADING_IN = 0, STATE_SHOWN = 1, STATE_FADING_OUT = 2, STATE_HIDDEN = 3 };
  // Hold timer of a hidden bar.
  static constexpr float HOLD_HIDDEN = -10.0f;

  HealthBarComponent();
  // Deletes the frame.
  ~HealthBarComponent() override;

  // Ships, soldiers and buildings only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Makes the frame once (behind the other windows, under the GUI's root), in the
  // enemy look for an owner of another nation than the player's.
  virtual void CommonInit();
  // Takes the frame's window out of the GUI's root.
  virtual void DeInit();
  // Per frame, only with a frame: a hidden owner hides the bar, the player's
  // low-hit-point ship keeps it up and pulsing, then fade in (three times the fade
  // speed), hold, fade out, and removal from the owner once hidden when asked for;
  // then the bar is placed over the owner and filled with its health.
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
  float GetAlpha() const;
  FrameHealthBar* GetFrame() const { return m_pFrame; }

 private:
  // The owner's health share, or the fill's width for owners without hit points
  // (and for records whose maximum is not positive).
  float HealthRatio(VisTypedEngineObject_cl* owner, bool isPlayer, bool lowHitPoints);

  FrameHealthBar* m_pFrame = nullptr;
  int m_iState = STATE_HIDDEN;
  float m_fHoldTimer = HOLD_HIDDEN;
  float m_fFadeSpeed = 1.0f;
  bool m_bRemoveWhenHidden = false;
};
