// A bit of wreckage knocked off a hit ship: it flies as a physics body until it
// reaches the sea, then splashes, drops its body and sinks ever faster until it is
// deep enough to go.
#pragma once

#include "engine/base/VisMath.h"
#include "engine/core/VisBaseEntity.h"

class DebrisEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(DebrisEntity)
 public:
  static constexpr const char* SPLASH_EFFECT = "Particles\\debris_splash_01.xml";

  DebrisEntity() = default;

  // Nothing while the game is paused or above the water; at or below it the body
  // goes (with a splash), and the wreckage sinks, removed below -removal depth.
  void ThinkFunction() override;
  // The velocity goes to the rigid body the creator gave it; the position is unused.
  void Throw(const VisVector_cl& position, const VisVector_cl& velocity);

  float GetSinkSpeed() const { return m_fSinkSpeed; }
  float GetRemovalDepth() const { return m_fRemovalDepth; }

 private:
  float m_fSinkSpeed = 0.15f;
  float m_fRemovalDepth = 10.0f;
};
