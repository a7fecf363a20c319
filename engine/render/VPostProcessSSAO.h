// The effects plug-in's screen-space ambient occlusion post-processor, as the
// settings code drives it. Store only: the null device draws nothing, so the values
// are kept for the game and the tests to read back.
#pragma once

class VPostProcessSSAO {
 public:
  // One parameter set of the occlusion term.
  struct Parameters {
    float m_fRadius = 0.125f;
    float m_fPower = 2.0f;
    float m_fFullThreshold = 0.3f;
    float m_fNoThreshold = 0.15f;
  };

  bool m_bEnabled = false;
  int m_iSampleSetting = 0;  // 0..3: 8, 16, 32 or 64 samples
  int m_iBlurPasses = 3;
  bool m_bHalfResolutionBlur = false;
  int m_iFilterTechnique = 0;  // 0 Gaussian, 1 bilateral 5, 2 bilateral 9, 3 adaptive
  Parameters m_params[2];
};
