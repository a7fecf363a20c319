// 3-D objects: position, Euler angles kept in step with the rotation matrix, and a
// parent/child hierarchy in which children keep their local pose.
#include "engine/core/VisTypedEngineObject.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"

#include <algorithm>

V_IMPLEMENT_DYNAMIC(VisObject3D_cl, VisTypedEngineObject_cl)

namespace {
const char kObject3DVersion = 1;

// Inverse of a rotation; the transpose when the matrix cannot be inverted.
VisMatrix3x3_cl InverseOf(const VisMatrix3x3_cl& m) {
  VisMatrix3x3_cl inv = m;
  if (!inv.Invert()) inv = m.GetTransposed();
  return inv;
}
}  // namespace

VisObject3D_cl::VisObject3D_cl() = default;

VisObject3D_cl::~VisObject3D_cl() {
  // Children stay where they are in the world.
  for (VisObject3D_cl* child : m_children) {
    child->m_pParent = nullptr;
    child->UpdateLocalFromWorld();
  }
  m_children.clear();
  UnlinkFromParent();
}

void VisObject3D_cl::SetPosition(const VisVector_cl& pos) {
  m_vPosition = VisVector_cl(pos.x, pos.y, pos.z);
  OnWorldPoseChanged();
  UpdateLocalFromWorld();
  UpdateChildren(PARENT_ALTERED_POSITION);
}

VisVector_cl VisObject3D_cl::GetOrientation() const {
  if (!m_bUseEuler) return m_mRotation.GetEulerAngles();
  if (m_bEulerStale) {
    m_vEuler = m_mRotation.GetEulerAngles();
    m_bEulerStale = false;
  }
  return m_vEuler;
}

void VisObject3D_cl::SetOrientation(const VisVector_cl& yawPitchRoll) {
  m_vEuler = VisVector_cl(yawPitchRoll.x, yawPitchRoll.y, yawPitchRoll.z);
  m_bEulerStale = false;
  m_mRotation.SetEulerAngles(m_vEuler.x, m_vEuler.y, m_vEuler.z);
  OnWorldPoseChanged();
  UpdateLocalFromWorld();
  UpdateChildren(PARENT_ALTERED_ROTATION);
}

void VisObject3D_cl::SetRotationMatrix(const VisMatrix3x3_cl& m) {
  m_vEuler = m.GetEulerAngles();
  m_bEulerStale = false;
  // With Euler angles on, the angles lead and the matrix is rebuilt from them; with
  // them off the matrix is kept exactly as given.
  if (m_bUseEuler)
    m_mRotation.SetEulerAngles(m_vEuler.x, m_vEuler.y, m_vEuler.z);
  else
    m_mRotation = m;
  OnWorldPoseChanged();
  UpdateLocalFromWorld();
  UpdateChildren(PARENT_ALTERED_ROTATION);
}

void VisObject3D_cl::SetDirection(const VisVector_cl& dir) {
  if (dir.IsZero()) return;
  VisMatrix3x3_cl m;
  VisMath_cl::MatrixLookAt(m, VisVector_cl(0, 0, 0), dir, VisVector_cl(0, 0, 1));
  SetRotationMatrix(m);
}

void VisObject3D_cl::SetLocalPosition(const VisVector_cl& p) {
  if (!m_pParent) {
    SetPosition(p);
    return;
  }
  m_vLocalPosition = VisVector_cl(p.x, p.y, p.z);
  UpdateWorldFromLocal(false);
  UpdateChildren(PARENT_ALTERED_POSITION);
}

void VisObject3D_cl::SetLocalOrientation(const VisVector_cl& yawPitchRoll) {
  if (!m_pParent) {
    SetOrientation(yawPitchRoll);
    return;
  }
  m_mLocalRotation.SetEulerAngles(yawPitchRoll.x, yawPitchRoll.y, yawPitchRoll.z);
  UpdateWorldFromLocal(true);
  UpdateChildren(PARENT_ALTERED_POSITION | PARENT_ALTERED_ROTATION);
}

void VisObject3D_cl::ResetLocalTransformation() {
  if (!m_pParent) {
    SetPosition(VisVector_cl(0, 0, 0));
    SetOrientation(VisVector_cl(0, 0, 0));
    return;
  }
  m_vLocalPosition = VisVector_cl(0, 0, 0);
  m_mLocalRotation.SetIdentity();
  UpdateWorldFromLocal(true);
  UpdateChildren(PARENT_ALTERED_POSITION | PARENT_ALTERED_ROTATION);
}

bool VisObject3D_cl::IsAncestorOf(const VisObject3D_cl* obj) const {
  for (const VisObject3D_cl* p = obj; p; p = p->m_pParent)
    if (p == this) return true;
  return false;
}

void VisObject3D_cl::UnlinkFromParent() {
  if (!m_pParent) return;
  auto& siblings = m_pParent->m_children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  m_pParent = nullptr;
}

void VisObject3D_cl::AttachToParent(VisObject3D_cl* parent) {
  if (parent == m_pParent) return;
  if (parent && IsAncestorOf(parent)) {
    // A loop in the hierarchy would make every update recurse forever.
    Vision::Error.Warning("AttachToParent: %s cannot become a child of itself or of its own child",
                          GetClassTypeName());
    return;
  }
  UnlinkFromParent();
  m_pParent = parent;
  if (parent) parent->m_children.push_back(this);
  UpdateLocalFromWorld();
}

void VisObject3D_cl::ModSysNotifyFunctionParentAltered(int flags) {
  if (!m_pParent) return;
  const bool rotation = (flags & (2 | 8)) != 0;
  if (!rotation && !(flags & (1 | 4))) return;
  UpdateWorldFromLocal(rotation);
  UpdateChildren(PARENT_ALTERED_POSITION | (rotation ? PARENT_ALTERED_ROTATION : 0));
}

void VisObject3D_cl::NotifyChildren(int flags) {
  // A child may detach itself while following: walk a copy, kept on the stack when small.
  const size_t n = m_children.size();
  VisObject3D_cl* few[16];
  std::vector<VisObject3D_cl*> many;
  VisObject3D_cl** children = few;
  if (n <= 16) {
    std::copy(m_children.begin(), m_children.end(), few);
  } else {
    many = m_children;
    children = many.data();
  }
  for (size_t i = 0; i < n; ++i)
    if (children[i]->m_pParent == this) children[i]->ModSysNotifyFunctionParentAltered(flags);
}

void VisObject3D_cl::UpdateLocalFromWorld() {
  if (!m_pParent) {
    m_vLocalPosition = m_vPosition;
    m_mLocalRotation = m_mRotation;
    return;
  }
  const VisMatrix3x3_cl inv = InverseOf(m_pParent->m_mRotation);
  m_vLocalPosition = inv * (m_vPosition - m_pParent->m_vPosition);
  m_mLocalRotation = inv * m_mRotation;
}

void VisObject3D_cl::UpdateWorldFromLocal(bool rotation) {
  if (!m_pParent) return;
  m_vPosition = m_pParent->m_vPosition + m_pParent->m_mRotation * m_vLocalPosition;
  if (rotation) {
    m_mRotation = m_pParent->m_mRotation * m_mLocalRotation;
    m_bEulerStale = true;
  }
  OnWorldPoseChanged();
}

void VisObject3D_cl::Serialize(VArchive& ar) {
  VisTypedEngineObject_cl::Serialize(ar);
  if (ar.IsSaving()) {
    ar << kObject3DVersion;
    if (m_bEulerStale) {
      m_vEuler = m_mRotation.GetEulerAngles();
      m_bEulerStale = false;
    }
    ar << m_vPosition << m_vEuler << m_bUseEuler;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) ar << m_mRotation.m[r][c];
    return;
  }
  char version = 0;
  ar >> version;
  if (version < 1 || version > kObject3DVersion) {
    Vision::Error.Warning("%s: unsupported 3-D object version %d", GetClassTypeName(), (int)version);
    ar.MarkFailed();
    return;
  }
  VisVector_cl pos, euler;
  bool useEuler = true;
  VisMatrix3x3_cl rot;
  ar >> pos >> euler >> useEuler;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) ar >> rot.m[r][c];
  if (!ar.IsOK()) return;
  // Angles and matrix come back exactly as saved, whichever of them leads.
  m_bUseEuler = useEuler;
  m_vEuler = VisVector_cl(euler.x, euler.y, euler.z);
  m_bEulerStale = false;
  m_mRotation = rot;
  OnWorldPoseChanged();
  UpdateLocalFromWorld();
  UpdateChildren(PARENT_ALTERED_ROTATION);
  SetPosition(pos);
}
