// The particle-effect reader over arbitrary text: no crash, no sanitizer report; the
// layers of a file it accepts hold values in the ranges the format allows, and an
// effect made from it runs, counts its particles within each layer's maximum, and
// leaves the particle manager when it is removed.
// fuzz-libs: engine
#include "FuzzChecks.h"

#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisParticleLayer.h"

#include <cmath>
#include <cstdint>
#include <string>

using fuzz_checks::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  VSmartPtr<VisParticleEffectFile_cl> file = new VisParticleEffectFile_cl("fuzz.xml");
  if (!file->LoadFromXml(text.c_str())) {
    Require(file->GetLayerCount() == 0);
    return 0;
  }
  for (int i = 0; i < file->GetLayerCount(); ++i) {
    const VisParticleEffectFile_cl::LayerDesc& d = file->GetLayer(i);
    Require(std::isfinite(d.rate) && d.rate >= 0.0f);
    Require(std::isfinite(d.lifetime) && d.lifetime > 0.0f);
    Require(std::isfinite(d.duration));
    Require(d.maxParticles >= 0 && d.maxParticles <= 1000000);
  }

  VisParticleGroupManager_cl& manager = VisParticleGroupManager_cl::GlobalManager();
  {
    VSmartPtr<VisParticleEffect_cl> effect =
        file->CreateParticleEffectInstance(VisVector_cl(1, 2, 3), VisVector_cl(90, 0, 0), 2.0f);
    Require(effect != nullptr && effect->GetLayerCount() == file->GetLayerCount());
    for (float dt : {0.0f, 0.016f, 0.5f, 3.0f, 100.0f, 0.016f}) {
      manager.Tick(dt);
      for (int i = 0; i < effect->GetLayerCount(); ++i) {
        const VisParticleLayer_cl* layer = effect->GetLayer(i);
        Require(layer->GetNumOfParticles() >= 0 && layer->GetNumOfParticles() <= layer->GetDescription().maxParticles);
      }
    }
    effect->SetFinished();
    manager.Tick(1000.0f);
  }
  manager.RemoveAllEffects();
  Require(manager.GetEffectCount() == 0);
  return 0;
}
