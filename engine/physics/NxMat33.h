// The physics SDK's 3 by 3 matrix: nine floats, row by row, as the engine's
// VisMatrix3x3_cl keeps them (MathTools copies between the two).
#pragma once

class NxMat33 {
 public:
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // m[row][column]
  void getRowMajor(float out[9]) const {
    for (int i = 0; i < 9; ++i) out[i] = m[i / 3][i % 3];
  }
  void setRowMajor(const float in[9]) {
    for (int i = 0; i < 9; ++i) m[i / 3][i % 3] = in[i];
  }
};
