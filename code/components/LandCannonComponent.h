// The cannon of a tower in a town scene: while shown it watches for an enemy soldier
// within range and lobs an area-effect ball onto the ground in front of its barrel,
// then reloads for a random time. It reports its states as the ship cannons do.
#pragma once

#include "components/CannonComponent.h"
#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"

class VisParticleEffect_cl;
class VisParticleEffectFile_cl;

class LandCannonComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(LandCannonComponent)
 public:
  static constexpr float MAX_FUSE = 0.5f;
  static constexpr float AUTO_FIRE_CHANCE = 0.1f;

  LandCannonComponent();
  ~LandCannonComponent() override;

  // Cannon entities only (the ship cannon's rule).
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 55 ignites with a ball: the cannon only reports "firing"; it shoots through its
  // automatic check.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Component data, then "ARCH", version 2, the five editor values, "EOA".
  void Serialize(VArchive& ar) override;

  // Per frame while shown: the reload countdown (58 at its end), else a 10 % chance to
  // fire at the nearest enemy soldier in range of the town's nation.
  void Update();
  void Ignite(ProjectileType type);
  void Load(ProjectileType type);
  // The ball onto the ground at the shooting range in front of the barrel, then the reload.
  void Fire(int nation);
  void Reload();

  float GetFireDelay() const { return m_fFireDelay; }
  float GetReloadDelay() const { return m_fReloadDelay; }
  void SetReloadDelay(float delay) { m_fReloadDelay = delay; }
  float GetSpecialPower() const { return m_fSpecialPower; }
  ProjectileType GetLoadedType() const { return m_eLoadedType; }
  CannonGroup GetCannonGroup() const { return m_eCannonGroup; }
  void SetCannonGroup(CannonGroup group) { m_eCannonGroup = group; }
  bool IsAutoFire() const { return m_bAutoFire; }
  void SetAutoFire(bool on) { m_bAutoFire = on; }
  VisParticleEffect_cl* GetMuzzleFlash() const { return m_spMuzzleFlash.GetPtr(); }

  float m_iLoadingTime_Min = 1.0f;
  float m_iLoadingTime_Max = 3.0f;
  float m_fShootingRange = 15.0f;
  float m_fShootingpower = 20.0f;
  int m_fAreaDamage = 20;

 protected:
  static void BuildVarList(VARTABLE& t);

  ProjectileType m_eLoadedType = PROJECTILE_NONE;
  float m_fFireDelay = 0.0f;
  float m_fReloadDelay = 0.0f;
  float m_fSpecialPower = 0.0f;
  VSmartPtr<VisParticleEffectFile_cl> m_spMuzzleFile;
  VSmartPtr<VisParticleEffect_cl> m_spMuzzleFlash;
  CannonGroup m_eCannonGroup = CANNON_GROUP_ALL;
  bool m_bAutoFire = false;
};
