// A siren, the sea creature that sings: while shown and switched on it sends a
// musical note (a NoteComponent projectile) in a random horizontal direction once
// per reload delay. A ship a note touches loses the damage the siren draws.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

class SirenComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(SirenComponent)
 public:
  SirenComponent();
  ~SirenComponent() override;

  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Component data, then "ARCH", version 2, the reload delay and the six ranges of
  // reach, speed and damage, "EOA". The shooting switch is not saved.
  void Serialize(VArchive& ar) override;

  // Per frame, only while shooting, shown and not paused: the first note comes one
  // reload delay after the siren starts, then one per delay.
  virtual void Update();
  // A note from the siren's place along the shooting direction.
  void Fire();
  // The damage of one note on a ship: uniform from damage min to damage max.
  float GetDamage() const;
  float GetReloadDelay() const { return m_fReloadDelay; }
  void SetReloadDelay(float delay) { m_fReloadDelay = delay; }
  float GetReloadTimer() const { return m_fReloadTimer; }
  const VisVector_cl& GetShootingDirection() const { return m_vShootingDirection; }

  // The editor variables; the defaults are the values above.
  static void SirenComponent_BuildVarList(VARTABLE& t);

  bool m_bShooting = false;
  float m_fReloadDelay = 2.0f;
  float m_fReloadTimer = 0.0f;
  float m_fShootingRangeMin = 100.0f;
  float m_fShootingRangeMax = 150.0f;
  float m_fShootingpowerMin = 5.0f;
  float m_fShootingpowerMax = 15.0f;
  float m_fDamageMin = 1.0f;
  float m_fDamageMax = 4.0f;
  VisVector_cl m_vShootingDirection{0, 0, 0};
};
