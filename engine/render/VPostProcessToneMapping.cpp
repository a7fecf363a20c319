// The main render context's tone mapper.
#include "engine/render/VPostProcessToneMapping.h"

#include "engine/core/VisRenderContext.h"

VPostProcessToneMapping* VPostProcessToneMapping::GetFromContext(const VisRenderContext_cl* context) {
  static VPostProcessToneMapping mainToneMapper;
  return context && context == VisRenderContext_cl::GetMainRenderContext() ? &mainToneMapper : nullptr;
}

void VPostProcessToneMapping::SetToneMapping(ToneMapType_e type, const VisMatrix4x4_cl& colorMatrix, float fadeTime) {
  m_eType = type;
  m_colorMatrix = colorMatrix;
  m_fFadeTime = fadeTime;
  ++m_iSetToneMappingCount;
}

void VPostProcessToneMapping::SetValues(float saturation, float contrast, float brightness, float gamma) {
  m_fSaturation = saturation;
  m_fContrast = contrast;
  m_fBrightness = brightness;
  m_fGamma = gamma;
  ++m_iSetValuesCount;
}

void VPostProcessToneMapping::Reset() { *this = VPostProcessToneMapping(); }
