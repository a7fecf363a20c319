// The engine entity: joining and leaving the world, unique ids, the model, boxes and
// the saved engine data.
#include "engine/core/VisBaseEntity.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisZone.h"

V_IMPLEMENT_DYNCREATE(VisBaseEntity_cl, VisObject3D_cl)

namespace {
// 2: the script instance follows the entity's data.
const char kEntityVersion = 2;

bool IsKnownTraceAccuracy(int v) {
  return v == VIS_TRACEACC_NOCOLLISION || v == VIS_TRACEACC_AABOX || v == VIS_TRACEACC_OBOX ||
         v == VIS_TRACEACC_SPHERE || v == VIS_TRACEACC_POLYGONS;
}
}  // namespace

VisBaseEntity_cl::VisBaseEntity_cl() {
  Vision::Game.AddEntity(this);
}

VisBaseEntity_cl::~VisBaseEntity_cl() {
  // Deleted directly rather than through the world: leave the table all the same.
  if (m_iNumber >= 0) Vision::Game.Unlist(this);
  if (m_iTraceCandidate >= 0) Vision::Game.GetTraceCandidates().Remove(this);
  // Its zone must not hand out a dead entity.
  if (m_pParentZone) m_pParentZone->OnEntityDestroyed(this);
  // No animation may keep delivering to a dead entity.
  VisAnimManager_cl::NotifyEntityDestroyed(this);
  // Nor may a trigger box keep watching it.
  TriggerBoxEntity_cl::NotifyEntityDestroyed(this);
  SetAnimConfig(nullptr);
  SetMesh((VDynamicMesh*)nullptr);
}

void VisBaseEntity_cl::SetAnimConfig(VisAnimConfig_cl* cfg) {
  if (cfg == m_pAnimConfig) return;
  if (cfg) cfg->AddRef();
  VisAnimConfig_cl* old = m_pAnimConfig;
  m_pAnimConfig = cfg;
  if (old) old->Release();
}

void VisBaseEntity_cl::SetUniqueID(int64_t id) {
  if (id == m_iUniqueID) return;
  const bool indexed = m_iNumber >= 0 && !m_bRemoved;
  if (indexed) Vision::Game.UnindexId(this);
  m_iUniqueID = id;
  if (indexed) Vision::Game.IndexId(this);
}

bool VisBaseEntity_cl::SetMesh(const char* file) {
  if (!file || !*file) {
    SetMesh((VDynamicMesh*)nullptr);
    return true;
  }
  VDynamicMesh* mesh = Vision::Game.LoadDynamicMesh(file, true, true);
  SetMesh(mesh);
  if (!mesh) m_sMeshFile = file;
  return mesh != nullptr;
}

void VisBaseEntity_cl::SetMesh(VDynamicMesh* mesh) {
  if (mesh) mesh->AddRef();
  VDynamicMesh* old = m_pMesh;
  m_pMesh = mesh;
  m_sMeshFile = mesh ? mesh->GetFilename() : "";
  TraceShapeChanged();
  if (old) old->Release();
}

void VisBaseEntity_cl::SetTraceAccuracy(VisTraceAccuracy_e acc) {
  m_eTraceAccuracy = acc;
  Vision::Game.UpdateTraceCandidate(this);
}

void VisBaseEntity_cl::MarkTraceCandidateStale() { Vision::Game.GetTraceCandidates().MarkStale(this); }

const char* VisBaseEntity_cl::GetMeshFileName() const {
  return m_sMeshFile.AsChar();
}

bool VisBaseEntity_cl::GetBoneCurrentWorldSpaceTransformation(int boneIndex, VisVector_cl& position,
                                                              VisQuaternion_cl& rotation) const {
  if (!m_pMesh || boneIndex < 0 || boneIndex >= m_pMesh->GetBoneCount()) return false;
  VisVector_cl local = m_pMesh->GetBone(boneIndex).restPosition;
  VisQuaternion_cl localRotation = m_pMesh->GetBone(boneIndex).restRotation;
  // The configuration's pose counts only while it animates this model's skeleton.
  if (m_pAnimConfig && m_pAnimConfig->GetSkeleton() == m_pMesh->GetSkeleton())
    m_pAnimConfig->GetFinalResult()->GetBoneModelSpaceTransformation(boneIndex, local, localRotation);
  const VisVector_cl scaled(local.x * m_vScaling.x, local.y * m_vScaling.y, local.z * m_vScaling.z);
  position = m_vPosition + m_mRotation * scaled;
  rotation = VisQuaternion_cl::FromMatrix(m_mRotation) * localRotation;
  rotation.Normalize();
  return true;
}

void VisBaseEntity_cl::GetBoundingBox(VisBoundingBox_cl& out) const {
  if (m_pMesh)
    out = m_pMesh->GetBoundingBox();
  else
    out.SetInvalid();
}

void VisBaseEntity_cl::GetLocalVisBoundingBox(VisBoundingBox_cl& out) const {
  out = m_customVisBox;
  if (!out.IsValid()) GetBoundingBox(out);
  if (out.IsValid()) out = out.GetScaled(m_vScaling);
}

void VisBaseEntity_cl::GetCurrentVisBoundingBox(VisBoundingBox_cl& out) const {
  VisBoundingBox_cl local;
  GetLocalVisBoundingBox(local);
  out.SetInvalid();
  if (!local.IsValid()) return;
  for (int i = 0; i < 8; ++i)
    out.ExpandToInclude(m_vPosition + m_mRotation * VisVector_cl((i & 1) ? local.m_vMax.x : local.m_vMin.x,
                                                                 (i & 2) ? local.m_vMax.y : local.m_vMin.y,
                                                                 (i & 4) ? local.m_vMax.z : local.m_vMin.z));
}

void VisBaseEntity_cl::SetCustomVisibilityBox(const VisBoundingBox_cl& box) { m_customVisBox = box; }

void VisBaseEntity_cl::DeletePhysicsObject() {
  IVisPhysicsObject_cl* physics = m_pPhysics;
  m_pPhysics = nullptr;
  if (physics) physics->DisposeObject();
}

void VisBaseEntity_cl::Remove() {
  if (m_bRemoved) return;
  if (m_iNumber >= 0) Vision::Game.UnindexId(this);
  m_bRemoved = true;
}

void VisBaseEntity_cl::SetExpectedCount(int n) {
  if (n > 0) Vision::Game.m_entities.reserve((size_t)n);
}

void VisBaseEntity_cl::Serialize(VArchive& ar) {
  VisObject3D_cl::Serialize(ar);
  if (ar.IsSaving()) {
    ar << kEntityVersion;
    ar << m_iUniqueID << m_sMeshFile << m_vScaling;
    ar << m_iObjectFlags << m_iVisibleMask << m_iLightMask;
    ar << m_bCastShadows << (int)m_eTraceAccuracy;
    ar << m_bThink << m_bPreThink << m_bInactive << m_bNoMesh;
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->WriteScriptInstance(ar, scripts->GetScriptInstance(this));
    return;
  }
  char version = 0;
  ar >> version;
  if (version < 1 || version > kEntityVersion) {
    Vision::Error.Warning("%s: unsupported entity version %d", GetClassTypeName(), (int)version);
    ar.MarkFailed();
    return;
  }
  int64_t id = 0;
  VString meshFile;
  VisVector_cl scaling;
  int trace = 0;
  ar >> id >> meshFile >> scaling;
  ar >> m_iObjectFlags >> m_iVisibleMask >> m_iLightMask;
  ar >> m_bCastShadows >> trace;
  ar >> m_bThink >> m_bPreThink >> m_bInactive >> m_bNoMesh;
  if (!ar.IsOK()) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (version >= 2) {
    // A script that does not load or a damaged state fails the archive: the rest
    // cannot be read.
    IVScriptInstance* script = scripts->ReadScriptInstance(ar, this);
    if (!ar.IsOK()) return;
    scripts->SetScriptInstance(this, script);
  }
  SetUniqueID(id);
  SetScaling(VisVector_cl(scaling.x, scaling.y, scaling.z));
  if (IsKnownTraceAccuracy(trace)) {
    SetTraceAccuracy((VisTraceAccuracy_e)trace);
  } else {
    Vision::Error.Warning("%s: unknown trace accuracy %d in archive", GetClassTypeName(), trace);
    SetTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
  }
  if (meshFile != m_sMeshFile) SetMesh(meshFile.AsChar());
  // The components, a physics object among them, came back before the pose: the
  // body takes the pose read, or its next step would put the entity where the body
  // was made.
  if (m_pPhysics) {
    const VisMatrix3x3_cl rotation = GetRotationMatrix();
    const VisVector_cl position = GetPosition();
    m_pPhysics->SetRotationMatrix(rotation);
    m_pPhysics->SetPosition(position);
  }
}
