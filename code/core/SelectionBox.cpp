// The selection and target box with its saved block.
#include "core/SelectionBox.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

namespace {
const char kSelectionBoxVersion = 2;
}

SelectionBox::SelectionBox() {
  for (VisVector_cl& p : m_points) p = VisVector_cl(0.0f, 0.0f, 0.0f, 1.0f);
}

bool SelectionBox::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kSelectionBoxVersion);
    for (const VisVector_cl& p : m_points) ar << p;
    ar << m_iFlag;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "SelectionBox", kSelectionBoxVersion);
  if (!block.IsOpen()) return false;
  VisVector_cl points[4];
  int flag = 0;
  if (block.Has(2)) {
    for (VisVector_cl& p : points) ar >> p;
    ar >> flag;
  }
  if (!block.End()) return false;
  if (block.Has(2)) {
    for (int i = 0; i < 4; ++i) m_points[i] = points[i];
    m_iFlag = flag;
  }
  return true;
}

VArchive& operator<<(VArchive& ar, SelectionBox& box) {
  box.SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, SelectionBox& box) {
  box.SerializeX(ar);
  return ar;
}

VArchive& operator<<(VArchive& ar, SelectionBox* box) {
  if (box) box->SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, SelectionBox* box) {
  if (box) box->SerializeX(ar);
  return ar;
}
