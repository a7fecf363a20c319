// Shows what happens to a ship: hit sparks with their sound and flying debris,
// damage smoke that thickens as the hull goes down, the stern wake that follows the
// ship's speed, the mist of ghostly ships, muzzle flashes and collision splinters,
// from the effects the ship factory loads once for all ships.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisParticleEffect.h"

class ShipFactory;

class ShipFXComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ShipFXComponent)
 public:
  // Milliseconds after a collision during which further contacts stay quiet.
  static constexpr float COLLISION_COOLDOWN_MIN = 500.0f;
  static constexpr float COLLISION_COOLDOWN_RANGE = 1000.0f;
  // Where the mist hangs, along x from the ship.
  static constexpr float MIST_OFFSET_X = 7.5f;

  ShipFXComponent();
  ~ShipFXComponent() override;

  // 3-D objects only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner: the per-frame update, the factory's effect set (loaded when
  // needed), the stern wake and the damage smoke. Without: the effects go.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Per frame: the collision cooldown runs down and the wake follows the ship.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 11 and 19 hits, 16 sinking, 18 and 29 damage, 36 mist, 59 muzzle flash and
  // physics contacts.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // The damage smoke goes; the next damage update makes a fresh one.
  void ResetDamages();
  // Runs the smoke layer of the hull's band: "damage_10" below 10 %, "damage_20"
  // below 20 %, ... "damage_90" from 80 to 89 %, none from 90 % on.
  void UpdateDamage();
  // The factory's hull-hit sound (plain or critical) at the position, at the
  // effects volume times the given one; false when the sound is missing.
  bool PlaySoundHitHull(const VisVector_cl& position, float volume);
  bool PlaySoundHitHullCritical(const VisVector_cl& position, float volume);
  // One to four bits of wreckage (barrels and planks) at the position, flying
  // off with the velocity; none when a scale component is not above 0.
  void ThrowDebris(const VisVector_cl& position, const VisVector_cl& velocity, const VisVector_cl& scale);

  // The smoke layer name of a hull percentage; null from 90 % on.
  static const char* DamageLayerName(int percent);

  ShipFactory* GetEffectSet() const { return m_pEffects; }
  VisParticleEffect_cl* GetDamageSmoke() const { return m_spDamageSmoke; }
  VisParticleEffect_cl* GetSternWake() const { return m_spSternWake; }
  VisParticleEffect_cl* GetMist() const { return m_spMist; }
  float GetCollisionCooldown() const { return m_fCollisionCooldown; }

 private:
  void OnHullHit(INT_PTR hitRecord, bool critical);
  void OnContact(INT_PTR contactRecord);
  void OnMist();
  void OnCannonFired(INT_PTR firedRecord);
  void UpdateWake();
  // A running effect of a slot of the effect set; null when the set lacks it.
  VisParticleEffect_cl* CreateEffect(int slot, const VisVector_cl& position, const VisVector_cl& orientation);
  bool PlayHitSound(int slot, const VisVector_cl& position, float volume);
  // Detached, told to finish and let go.
  static void Release(VSmartPtr<VisParticleEffect_cl>& effect);
  VisObject3D_cl* GetOwner3D() const;

  float m_fCollisionCooldown = 0.0f;
  VSmartPtr<VisParticleEffect_cl> m_spDamageSmoke;
  VSmartPtr<VisParticleEffect_cl> m_spSternWake;
  VSmartPtr<VisParticleEffect_cl> m_spMist;
  ShipFactory* m_pEffects = nullptr;
  bool m_bListening = false;
};
