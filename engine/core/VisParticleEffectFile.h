// A particle effect description of ours (XML, see data/README.md "Particle
// effects"): named layers with an emission rate, a particle lifetime and an
// optional emission time. Reference counted and shared by file name.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class VisParticleEffect_cl;

class VBASE_IMPEXP VisParticleEffectFile_cl : public VRefCounter {
 public:
  struct LayerDesc {
    VString name;
    float rate = 10.0f;       // particles per second at emission intensity 1
    float lifetime = 1.0f;    // seconds each particle lives
    float duration = -1.0f;   // seconds the layer emits after a start; below 0 = forever
    int maxParticles = 1000;  // live particles at most
    bool startRunning = true;
  };

  explicit VisParticleEffectFile_cl(const char* file = nullptr) : m_sFile(file) {}

  // Reads the description; false (logged) when it is not a particle file or a value
  // does not parse. The layers are then empty.
  bool LoadFromXml(const char* text);

  const char* GetFilename() const { return m_sFile.AsChar(); }
  int GetLayerCount() const { return (int)m_layers.size(); }
  const LayerDesc& GetLayer(int i) const { return m_layers[i]; }

  // A new running effect at the position with the orientation (yaw, pitch, roll in
  // degrees) and scale. The particle manager holds it (see VisParticleGroupManager.h);
  // keep a VSmartPtr to use it later.
  VisParticleEffect_cl* CreateParticleEffectInstance(const VisVector_cl& position, const VisVector_cl& orientation,
                                                     float scale = 1.0f);

 private:
  VString m_sFile;
  std::vector<LayerDesc> m_layers;
};
