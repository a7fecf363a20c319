// The particle trail both kinds of projectile drag behind them.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/core/VisTypedEngineObject.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"

namespace ProjectileTrail {

// A trail from the effect file riding on the projectile at the offset; it removes
// itself once finished. The old trail stays where the file gives none.
inline void Attach(VisObject3D_cl* projectile, VSmartPtr<VisParticleEffect_cl>& trail, const VString& file,
                   const VisVector_cl& offset) {
  if (file.IsEmpty()) return;
  VisParticleEffectFile_cl* effectFile = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file.AsChar());
  if (!effectFile) return;
  VisParticleEffect_cl* made =
      effectFile->CreateParticleEffectInstance(projectile->GetPosition(), projectile->GetOrientation());
  if (!made) return;
  trail = made;
  made->AttachToParent(projectile);
  made->SetLocalPosition(offset);
  made->SetRemoveWhenFinished(true);
}

// Left behind to play out where the projectile went.
inline void Release(VSmartPtr<VisParticleEffect_cl>& trail) {
  if (!trail) return;
  trail->DetachFromParent();
  trail->SetFinished();
  trail = nullptr;
}

}  // namespace ProjectileTrail
