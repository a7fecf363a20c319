// Four ground corners and a flag: the mouse handler's drag rectangle and the target
// box a unit shows at the destination of a move order.
#pragma once

#include "engine/base/VisMath.h"

class VArchive;

class SelectionBox {
 public:
  SelectionBox();
  virtual ~SelectionBox() = default;

  // "ARCH", version 2, the four corners, the flag word (int32), "EOA". An older
  // block keeps the corners and the flag.
  virtual bool SerializeX(VArchive& ar);

  const VisVector_cl& GetPoint(int i) const { return m_points[i]; }
  void SetPoint(int i, const VisVector_cl& p) { m_points[i] = p; }
  int GetFlag() const { return m_iFlag; }
  void SetFlag(int flag) { m_iFlag = flag; }
  bool IsValid() const { return m_iFlag != 0; }

 private:
  VisVector_cl m_points[4];
  int m_iFlag = 0;
};

VArchive& operator<<(VArchive& ar, SelectionBox& box);
VArchive& operator>>(VArchive& ar, SelectionBox& box);
VArchive& operator<<(VArchive& ar, SelectionBox* box);
VArchive& operator>>(VArchive& ar, SelectionBox* box);
