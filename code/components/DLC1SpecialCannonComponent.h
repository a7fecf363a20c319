// The one-shot cannon that breaks the gate: once a script activates it, it turns
// until it points at the entity keyed "GateDestroyable", fires one heavy ball at it
// and stays spent.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class AreaEffectProjectileEntity;
class BaseEntity;

class DLC1SpecialCannonComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(DLC1SpecialCannonComponent)
 public:
  enum AimState { STATE_SPENT = -1, STATE_AIMING = 0, STATE_AIMED = 1 };
  static constexpr float TURN_SPEED = 40.0f;
  static constexpr float AIM_ANGLE = 15.0f;
  static constexpr float SHOT_SPEED = 60.0f;
  static constexpr int SHOT_DAMAGE = 5000;
  static constexpr int SHOOTER_NATION = 1;

  DLC1SpecialCannonComponent() = default;
  ~DLC1SpecialCannonComponent() override;

  // BaseEntity owners only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // The per-frame update; the end of its ball ends the ball's shooter too.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Turns toward the gate while active and aiming; fires once aimed.
  void Update();
  void Fire();
  void SetActive(bool active) { m_bActive = active; }
  bool IsActive() const { return m_bActive; }
  int GetState() const { return m_iState; }
  // The stand-in shooter of the last ball while that ball flies; null otherwise.
  BaseEntity* GetShooter() const { return m_pShooter; }

 private:
  void ReleaseShooter();

  bool m_bActive = false;
  int m_iState = STATE_AIMING;
  // The ball is credited to nation 1 through an entity that is no soldier, so no
  // soldier query ever finds it; it lives as long as the ball.
  BaseEntity* m_pShooter = nullptr;
  AreaEffectProjectileEntity* m_pBall = nullptr;
};
