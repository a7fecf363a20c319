// The physics ragdoll of a dead or stunned soldier. Built on an owner whose
// animated skeleton carries the standard biped bones; it then ends itself when its
// lifetime runs out. (The bodies and joints come with the ragdoll physics; until
// then the build never succeeds, so the ragdoll stays inactive and callers take
// their fall-backs, such as the "Die" animation.)
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VisMath.h"

class RagdollComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(RagdollComponent)
 public:
  // The force modes of a push; callers use a velocity change.
  enum NxForceMode { NX_FORCE = 0, NX_IMPULSE = 1, NX_VELOCITY_CHANGE = 2 };
  static constexpr float DEFAULT_LIFETIME = 10.0f;

  RagdollComponent() = default;

  // BaseEntity owners only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Builds the ragdoll with an owner; de-initialises without one.
  void SetOwner(VisTypedEngineObject_cl* owner) override;

  // True once the build succeeded.
  bool IsInitialized() const { return m_bActive; }
  bool IsActive() const { return m_bActive; }
  // Pushes the body nearest to the position; only while active.
  void AddForce(const VisVector_cl& position, const VisVector_cl& force, NxForceMode mode);
  void SetLifeTime(float seconds) { m_fLifeTime = seconds; }
  float GetLifeTime() const { return m_fLifeTime; }

 private:
  bool m_bActive = false;
  float m_fLifeTime = DEFAULT_LIFETIME;
};
