// Light sources of a scene: position, colour and, when animated, a colour curve
// played with a phase. Scenes declare them with <light> (data/README.md). A light
// is a 3-D object: attached to an entity (AttachToParent) it moves with it. It can
// be switched off and on; a light that is off gives no light (its colour reads black).
#pragma once

#include "engine/base/VBase.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"
#include "engine/core/VisTypedEngineObject.h"

#include <vector>

class VBASE_IMPEXP VisLightSource_cl : public VisObject3D_cl {
  V_DECLARE_DYNAMIC(VisLightSource_cl)
 public:
  VisLightSource_cl() = default;

  // On (the default) or off.
  void SetEnabled(bool on) { m_bEnabled = on; }
  bool IsEnabled() const { return m_bEnabled; }
  // What the light gives at a time of the engine clock: the animated colour, or
  // black while it is off.
  VisVector_cl GetEmittedColor(float time) const { return m_bEnabled ? GetAnimatedColor(time) : VisVector_cl(0, 0, 0); }

  const VisVector_cl& GetColor() const { return m_vColor; }
  void SetColor(const VisVector_cl& c) { m_vColor = c; }
  float GetRadius() const { return m_fRadius; }
  void SetRadius(float r) { m_fRadius = r; }

  // The engine's visibility data: every light placed by a scene has it.
  bool HasVisibilityData() const { return m_bVisibilityData; }
  // Forgets which visibility zone the light was assigned to (assigned again on use).
  void ResetVisibilityZoneAssignment() { m_iVisibilityZone = -1; }
  int GetVisibilityZone() const { return m_iVisibilityZone; }

  // Colour animation: keys of a colour curve over one period; the phase (0..1)
  // shifts where in the period the curve plays.
  bool HasAnimatedColor() const { return !m_colorKeys.empty(); }
  void SetColorAnimation(const std::vector<VisVector_cl>& keys, float period);
  float GetColorAnimationPhase() const { return m_fPhase; }
  void SetColorAnimationPhase(float phase) { m_fPhase = phase; }
  float GetColorAnimationPeriod() const { return m_fPeriod; }
  // The animated colour at a time of the engine clock (the plain colour without animation).
  VisVector_cl GetAnimatedColor(float time) const;

  const char* GetKey() const { return m_sKey.AsChar(); }
  void SetKey(const char* key) { m_sKey = key; }
  void SetHasVisibilityData(bool has) { m_bVisibilityData = has; }

 private:
  VString m_sKey;
  bool m_bEnabled = true;
  VisVector_cl m_vColor{1, 1, 1};
  float m_fRadius = 100.0f;
  bool m_bVisibilityData = true;
  int m_iVisibilityZone = 0;
  std::vector<VisVector_cl> m_colorKeys;
  float m_fPeriod = 1.0f;
  float m_fPhase = 0.0f;
};
