// The shadow map of one shadow-casting light (a spot or directional light's shadow
// component), as the settings code drives it. Store only, like the SSAO settings.
#pragma once

class VShadowMapSettings {
 public:
  static constexpr int MaxCascades = 4;

  bool m_bEnabled = false;
  bool m_bQuarterSizeTexture = false;
  int m_iMappingMode = 1;  // 0 PCF4, 1 PCF8, 2 PCF8_RAND, 3 PCF16, 4 PCF16_RAND, 5 PCSS16, 6 PCSS16_RAND, 7 CHS
  int m_iMapSize = 1024;
  float m_fSampleRadius = 1.0f;
  float m_fBias[MaxCascades] = {0.1f, 0.2f, 0.4f, 0.8f};
  float m_fSlope[MaxCascades] = {0.0f, 0.0f, 0.0f, 0.0f};
  float m_fCascadeRange[MaxCascades] = {30.0f, 90.0f, 270.0f, 810.0f};
  bool m_bFrontFacing = true;
  int m_iCascadeCount = 1;
  bool m_bOverestimateCascades = false;
  float m_fCameraUpdateInterval = 2.0f;
  float m_fCameraUpdateAngle = 5.0f;
};
