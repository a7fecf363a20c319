// A running particle effect: a 3-D object (attach it to an object with
// AttachToParent and a local position) with layers, colour and switches, advanced
// by the engine clock. Record-only: nothing is drawn.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/core/VisParticleLayer.h"
#include "engine/core/VisTypedEngineObject.h"

#include <memory>
#include <vector>

class VBASE_IMPEXP VisParticleEffect_cl : public VisObject3D_cl, public VRefCounter {
  V_DECLARE_DYNAMIC(VisParticleEffect_cl)
 public:
  VisParticleEffect_cl(VisParticleEffectFile_cl* file, const VisVector_cl& position, const VisVector_cl& orientation,
                       float scale);
  ~VisParticleEffect_cl() override;
  VisParticleEffect_cl(const VisParticleEffect_cl&) = delete;
  VisParticleEffect_cl& operator=(const VisParticleEffect_cl&) = delete;

  VisParticleEffectFile_cl* GetSourceEffect() const { return m_spFile; }

  int GetLayerCount() const { return (int)m_layers.size(); }
  VisParticleLayer_cl* GetLayer(int i) const { return m_layers[i].get(); }
  // First layer of that name (exact compare); null when none.
  VisParticleLayer_cl* GetLayerByName(const char* name) const;
  // Live particles of all layers.
  int GetNumOfParticles() const;

  // Ends the effect: every layer stops emitting for good (Start is ignored from then
  // on) and the particles alive fade out. An effect whose layers all ran out of
  // emission time finishes by itself.
  void SetFinished();
  bool IsFinished() const;
  // Finished and no particle left.
  bool IsDead() const { return IsFinished() && GetNumOfParticles() == 0; }
  // The engine takes a dead effect out of the scene when asked to, or when nobody
  // but the engine holds it. It then detaches from its parent.
  void SetRemoveWhenFinished(bool remove) { m_bRemoveWhenFinished = remove; }
  bool GetRemoveWhenFinished() const { return m_bRemoveWhenFinished; }
  // True once the engine took it out of the scene.
  bool IsRemoved() const { return m_bRemoved; }

  // Pause for the whole effect (its layers keep their own switches).
  void SetPause(bool pause) { m_bPaused = pause; }
  bool IsPaused() const { return m_bPaused; }
  // Stored: headless nothing is culled, so every effect runs off screen as well.
  void SetHandleWhenVisible(bool on) { m_bHandleWhenVisible = on; }
  bool GetHandleWhenVisible() const { return m_bHandleWhenVisible; }
  void SetVisible(bool visible) { m_bVisible = visible; }
  bool IsVisible() const { return m_bVisible; }
  void SetColor(const VColorRef& c) { m_color = c; }
  const VColorRef& GetColor() const { return m_color; }
  float GetScaling() const { return m_fScale; }
  // Seconds the effect has run unpaused.
  double GetAge() const { return m_age; }

  // Engine frame (the particle manager).
  void Tick(float dt);

 private:
  friend class VisParticleGroupManager_cl;
  VSmartPtr<VisParticleEffectFile_cl> m_spFile;
  std::vector<std::unique_ptr<VisParticleLayer_cl>> m_layers;
  VColorRef m_color;
  float m_fScale;
  double m_age = 0.0;
  bool m_bFinished = false;
  bool m_bRemoveWhenFinished = false;
  bool m_bRemoved = false;
  bool m_bPaused = false;
  bool m_bHandleWhenVisible = true;
  bool m_bVisible = true;
};
