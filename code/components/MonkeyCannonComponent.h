// The monkey cannon of the queen's scene: it keeps turning toward the player's
// character and, on a random timer, lobs a live monkey onto the path "MonkeyPath1"
// just ahead of the player.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"

class VisParticleEffectFile_cl;

class MonkeyCannonComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(MonkeyCannonComponent)
 public:
  static constexpr float SPAWN_BACK = 10.8f;
  static constexpr float SPAWN_RISE = 10.2f;
  static constexpr float MONKEY_SPEED = 25.0f;
  static constexpr float MONKEY_ARC = 4.25f;
  static constexpr float LANDING_SPREAD = 10.0f;

  // Active, with a reload under way.
  MonkeyCannonComponent();
  ~MonkeyCannonComponent() override;

  // Cannon entities only (the ship cannon's rule).
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Component data, then "ARCH", version 3, the five editor values, the active flag,
  // "EOA". A loaded monkey cannon is always active.
  void Serialize(VArchive& ar) override;

  // Per frame while shown and active: turn toward the player's character, count the
  // reload down and fire at its end.
  void Update();
  void Fire(int nation);
  void Reload();
  void Load() {}
  void Ignite() {}

  float GetFireDelay() const { return m_fFireDelay; }
  void SetFireDelay(float delay) { m_fFireDelay = delay; }
  float GetReloadDelay() const { return m_fReloadDelay; }
  void SetReloadDelay(float delay) { m_fReloadDelay = delay; }
  bool IsCannonActive() const { return m_bCannonActive != 0; }
  void SetCannonActive(bool active) { m_bCannonActive = active ? 1 : 0; }
  bool IsAutoFire() const { return m_bAutoFire; }
  void SetAutoFire(bool on) { m_bAutoFire = on; }

  float m_iLoadingTime_Min = 5.0f;
  float m_iLoadingTime_Max = 8.0f;
  float m_fShootingRange = 15.0f;
  float m_fShootingpower = 20.0f;
  int m_fAreaDamage = 0;
  int m_bCannonActive = 1;

 protected:
  static void BuildVarList(VARTABLE& t);

  VSmartPtr<VisParticleEffectFile_cl> m_spMuzzleFile;
  float m_fFireDelay = 0.0f;
  float m_fReloadDelay = 0.0f;
  bool m_bAutoFire = false;
};
