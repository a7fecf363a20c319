// The tone-mapping post-processor of the main render context: a tone-map type, a
// colour matrix and four values (saturation, contrast, brightness, gamma).
// Headless it keeps its settings so the game can read them back.
#pragma once

#include "engine/base/VBase.h"
#include "engine/base/VisMath.h"

class VisRenderContext_cl;

enum ToneMapType_e { TONEMAP_NONE = 0, TONEMAP_SCALE = 1, TONEMAP_SCALE_MAP = 2, TONEMAP_GRADING = 3 };

class VBASE_IMPEXP VPostProcessToneMapping {
 public:
  // The tone mapper of a render context: the main context has one, others none.
  static VPostProcessToneMapping* GetFromContext(const VisRenderContext_cl* context);

  // Type and colour matrix at once; the change blends in over fadeTime seconds
  // (0: at once). The four values stay as they are.
  void SetToneMapping(ToneMapType_e type, const VisMatrix4x4_cl& colorMatrix, float fadeTime);
  // The four-value setter.
  void SetValues(float saturation, float contrast, float brightness, float gamma);

  ToneMapType_e GetToneMapType() const { return m_eType; }
  const VisMatrix4x4_cl& GetColorMatrix() const { return m_colorMatrix; }
  float GetFadeTime() const { return m_fFadeTime; }
  float GetSaturation() const { return m_fSaturation; }
  float GetContrast() const { return m_fContrast; }
  float GetBrightness() const { return m_fBrightness; }
  float GetGamma() const { return m_fGamma; }
  // How often each setter ran (tests tell a skipped write from a repeated one).
  int GetSetValuesCount() const { return m_iSetValuesCount; }
  int GetSetToneMappingCount() const { return m_iSetToneMappingCount; }

  // Back to the engine's defaults: scale type, identity matrix, values 1, 1, 0, 1.
  void Reset();

 private:
  ToneMapType_e m_eType = TONEMAP_SCALE;
  VisMatrix4x4_cl m_colorMatrix;
  float m_fFadeTime = 0.0f;
  float m_fSaturation = 1.0f, m_fContrast = 1.0f, m_fBrightness = 0.0f, m_fGamma = 1.0f;
  int m_iSetValuesCount = 0, m_iSetToneMappingCount = 0;
};
